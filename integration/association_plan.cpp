#include "integration/association_plan.h"

#include "integration/extension_list.h"

AssociationPlan PlanAssociations(std::wstring_view modulePath, std::wstring_view list)
{
    AssociationPlan plan;
    const size_t pos = modulePath.rfind(L'\\');
    if (modulePath.empty() || pos == std::wstring_view::npos)
        return plan;
    plan.bOk = true;
    plan.strProgramName.assign(modulePath.substr(pos + 1));
    plan.strAppKey = L"Applications\\" + plan.strProgramName + L"\\shell\\open\\command";
    plan.strOpenCommand = L"\"" + std::wstring(modulePath) + L"\" \"%1\"";
    plan.strAppReference = L"Applications\\" + plan.strProgramName;
    for (std::wstring& item : SplitExtensionItems(list))
        plan.extensionKeys.push_back(L"." + item);
    return plan;
}
