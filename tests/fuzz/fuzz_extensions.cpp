// The extension list on its way from the options page, the registry and the open dialog.
// Input: text decoded into UTF-16 code units (a byte below 0x80 is that unit; a byte from 0x80
// on is followed by two bytes giving any unit, big-endian), then split into lines at '\n':
//   0: text typed into the options page        1: a stored list, used as it stands
//   2: module path                             3: flags (bit 0 query succeeded, bit 1 no buffer)
//                                                 then the registry buffer's units
//   4: the filter's "pictures" caption          5: its "all files" caption
// Missing lines are empty.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "images/folder/open_filter.h"
#include "integration/association_plan.h"
#include "integration/background_plan.h"
#include "integration/extension_list.h"
#include "mainframe/settings_rules.h"

#include "tests/fuzz/fuzz_check.h"

namespace {

std::vector<std::wstring> DecodeLines(const uint8_t* data, size_t size)
{
    std::vector<std::wstring> lines(1);
    for (size_t i = 0; i < size; ++i) {
        wchar_t unit = data[i];
        if (data[i] >= 0x80) {
            const unsigned hi = i + 1 < size ? data[i + 1] : 0;
            const unsigned lo = i + 2 < size ? data[i + 2] : 0;
            unit = static_cast<wchar_t>((hi << 8) | lo);
            i += 2;
        }
        if (unit == L'\n')
            lines.emplace_back();
        else
            lines.back() += unit;
    }
    lines.resize(std::max<size_t>(lines.size(), 6));
    return lines;
}

bool IsDropped(wchar_t c)
{
    return c == L' ' || c == L'.' || c == L'|' || c == L';';
}

// Every piece between commas, the last one included even when empty.
std::vector<std::wstring> AllPieces(std::wstring_view list)
{
    std::vector<std::wstring> pieces(1);
    for (wchar_t c : list) {
        if (c == L',')
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    return pieces;
}

void CheckClean(const std::wstring& text)
{
    const std::wstring clean = CleanExtensions(text);
    FUZZ_CHECK(std::none_of(clean.begin(), clean.end(), IsDropped));
    std::wstring kept;
    for (wchar_t c : text) {
        if (!IsDropped(c))
            kept += c;
    }
    FUZZ_CHECK(clean == kept);
    FUZZ_CHECK(CleanExtensions(clean) == clean);
}

void CheckSplit(const std::wstring& list)
{
    const std::vector<std::wstring> items = SplitExtensionItems(list);
    std::wstring joined;
    for (size_t i = 0; i < items.size(); ++i) {
        FUZZ_CHECK(items[i].find(L',') == std::wstring::npos);
        if (i > 0)
            joined += L',';
        joined += items[i];
    }
    const bool bTrailingComma = !list.empty() && list.back() == L',';
    FUZZ_CHECK(joined == (bTrailingComma ? list.substr(0, list.size() - 1) : list));
    const size_t nCommas = static_cast<size_t>(std::count(list.begin(), list.end(), L','));
    FUZZ_CHECK(items.size() == (list.empty() ? 0 : nCommas + 1 - (bTrailingComma ? 1 : 0)));
}

void CheckAssociations(const std::wstring& modulePath, const std::wstring& list)
{
    const AssociationPlan plan = PlanAssociations(modulePath, list);
    const size_t nSlash = modulePath.rfind(L'\\');
    FUZZ_CHECK(plan.bOk == (nSlash != std::wstring::npos));
    if (!plan.bOk) {
        FUZZ_CHECK(plan.strProgramName.empty() && plan.strAppKey.empty() && plan.strOpenCommand.empty() &&
                   plan.strAppReference.empty() && plan.extensionKeys.empty());
        return;
    }
    FUZZ_CHECK(plan.strProgramName == modulePath.substr(nSlash + 1));
    FUZZ_CHECK(plan.strAppReference == L"Applications\\" + plan.strProgramName);
    FUZZ_CHECK(plan.strAppKey == plan.strAppReference + L"\\shell\\open\\command");
    FUZZ_CHECK(plan.strOpenCommand == L"\"" + modulePath + L"\" \"%1\"");
    const std::vector<std::wstring> items = SplitExtensionItems(list);
    FUZZ_CHECK(plan.extensionKeys.size() == items.size());
    for (size_t i = 0; i < items.size(); ++i)
        FUZZ_CHECK(plan.extensionKeys[i] == L"." + items[i]);
}

void CheckOpenFilter(const std::wstring& list, const std::wstring& pictures, const std::wstring& all)
{
    const std::wstring pattern = BuildOpenPattern(list);
    FUZZ_CHECK(pattern.rfind(L"*.", 0) == 0);
    // One "*." group per piece, trailing and empty pieces included.
    std::wstring expected;
    for (const std::wstring& piece : AllPieces(list))
        expected += (expected.empty() ? L"*." : L";*.") + piece;
    FUZZ_CHECK(pattern == expected);

    const std::wstring filter = BuildOpenFilter(pictures, pattern, all);
    const std::wstring nul = FilterToNulSeparated(filter);
    FUZZ_CHECK(nul.size() == filter.size());
    for (size_t i = 0; i < filter.size(); ++i)
        FUZZ_CHECK(nul[i] == (filter[i] == L'|' ? L'\0' : filter[i]));
    // The system dialog reads pairs of NUL-terminated texts up to an empty one.
    FUZZ_CHECK(nul.size() >= 2 && nul[nul.size() - 1] == L'\0' && nul[nul.size() - 2] == L'\0');
    if (pictures.find(L'|') == std::wstring::npos && all.find(L'|') == std::wstring::npos &&
        pattern.find(L'|') == std::wstring::npos) {
        const std::wstring fields = pictures + L'\0' + pattern + L'\0' + all + L'\0' + L"*.*" + L'\0' + L'\0';
        FUZZ_CHECK(nul == fields);
    }
}

void CheckQuery(const std::wstring& line, const std::wstring& fallback)
{
    const unsigned flags = line.empty() ? 0 : static_cast<unsigned>(line[0]);
    const bool bQueryOk = (flags & 1) != 0;
    const bool bNoBuffer = (flags & 2) != 0;
    const size_t nUnits = line.empty() ? 0 : line.size() - 1;
    // Exactly as large as the value, so that a read past nUnits lands in the redzone.
    const std::unique_ptr<wchar_t[]> buffer(new wchar_t[nUnits]);
    if (nUnits > 0)
        std::copy(line.begin() + 1, line.end(), buffer.get());

    const std::wstring got = ExtensionListFromQuery(bQueryOk, bNoBuffer ? nullptr : buffer.get(), nUnits, fallback);
    if (!bQueryOk || bNoBuffer) {
        FUZZ_CHECK(got == fallback);
        return;
    }
    const std::wstring_view value(buffer.get(), nUnits);
    FUZZ_CHECK(got == value.substr(0, value.find(L'\0')));
}

void CheckPaths(const std::wstring& path)
{
    std::wstring folder = L"unchanged", name = L"unchanged";
    if (SplitPicturePath(path, folder, name)) {
        FUZZ_CHECK(folder + name == path);
        FUZZ_CHECK(!folder.empty() && folder.back() == L'\\');
        FUZZ_CHECK(name.find(L'\\') == std::wstring::npos);
    } else {
        FUZZ_CHECK(path.find(L'\\') == std::wstring::npos);
        FUZZ_CHECK(folder == L"unchanged" && name == L"unchanged");
    }

    // One folder per backslash from position 3 on, each the path up to that backslash.
    const std::vector<std::wstring> chain = FolderChainPrefixes(path);
    size_t nExpected = 0;
    for (size_t i = 3; i < path.size(); ++i)
        nExpected += path[i] == L'\\' ? 1 : 0;
    FUZZ_CHECK(chain.size() == nExpected);
    for (size_t i = 0; i < chain.size(); ++i) {
        FUZZ_CHECK(chain[i].size() >= 3 && chain[i].size() < path.size());
        FUZZ_CHECK(path.compare(0, chain[i].size(), chain[i]) == 0 && path[chain[i].size()] == L'\\');
        if (i > 0)
            FUZZ_CHECK(chain[i].size() > chain[i - 1].size());
    }

    const std::wstring background = BackgroundFolder(path);
    FUZZ_CHECK(background.size() >= 9 && background.compare(background.size() - 9, 9, L"\\Vistrel\\") == 0);
    FUZZ_CHECK(background.compare(0, path.size(), path) == 0);
    const std::wstring target = BackgroundTargetPath(background, path.size() % 2 == 0, path.size() % 3 == 0);
    FUZZ_CHECK(target.compare(0, background.size(), background) == 0);
    FUZZ_CHECK(target.size() > 4 && target.compare(target.size() - 4, 4, L".bmp") == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::wstring> lines = DecodeLines(data, size);
    const std::wstring& typed = lines[0];
    const std::wstring& stored = lines[1];
    const std::wstring& modulePath = lines[2];

    CheckClean(typed);
    const std::wstring cleaned = CleanExtensions(typed);
    for (const std::wstring* list : {&cleaned, &stored}) {
        CheckSplit(*list);
        CheckAssociations(modulePath, *list);
        CheckOpenFilter(*list, lines[4], lines[5]);
    }
    CheckQuery(lines[3], L"bmp,gif,jpg,png,tif,jpeg");
    CheckPaths(modulePath);
    return 0;
}
