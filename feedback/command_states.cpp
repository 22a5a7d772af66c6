#include "feedback/command_states.h"

#include "res/resource.h"

namespace {

CommandState EnabledWithPicture(const CommandSnapshot& s)
{
    return {s.bHasImage, std::nullopt, std::nullopt};
}

// Adapts a rule that does not depend on the id to the table's signature.
template <CommandState (*Rule)(const CommandSnapshot&)>
CommandState AnyId(uint32_t, const CommandSnapshot& s)
{
    return Rule(s);
}

constexpr CommandRuleEntry kRules[] = {
    {ID_FILE_NEXT, ID_FILE_LAST, AnyId<UpdateFileNavRule>},
    {ID_FILE_DELETE_KEY, ID_FILE_DELETE_KEY, AnyId<UpdateFilePropertiesRule>},
    {ID_FILE_PROPERTIES, ID_FILE_PROPERTIES, AnyId<UpdateFilePropertiesRule>},
    {ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_ROTATE_CCW, AnyId<UpdateRotateFlipRule>},
    {ID_VIEW_ACTUAL_SIZE, ID_VIEW_ACTUAL_SIZE, AnyId<UpdateViewActualSizeRule>},
    {ID_VIEW_SCREEN_SIZE, ID_VIEW_SCREEN_SIZE, AnyId<UpdateViewScreenSizeRule>},
    {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, AnyId<UpdateViewZoomRule>},
    {ID_VIEW_BEST_FIT, ID_VIEW_FIT_WINDOW, UpdateViewFitModeRule},
    {ID_INTERP_DEFAULT, ID_INTERP_HQ_BICUBIC, UpdateInterpolationRule},
    {ID_TOOLS_SET_WALLPAPER, ID_TOOLS_SET_CALENDAR_BKG, AnyId<UpdateSetBackgroundRule>},
};

}  // namespace

CommandState UpdateFileNavRule(const CommandSnapshot& s)
{
    return {s.bHasImage && !s.bListEmpty, std::nullopt, std::nullopt};
}

CommandState UpdateFilePropertiesRule(const CommandSnapshot& s)
{
    return EnabledWithPicture(s);
}

CommandState UpdateRotateFlipRule(const CommandSnapshot& s)
{
    // An animated picture cannot be turned or flipped.
    return {s.bHasImage && s.nFrameCount <= 1, std::nullopt, std::nullopt};
}

CommandState UpdateViewZoomRule(const CommandSnapshot& s)
{
    return EnabledWithPicture(s);
}

CommandState UpdateViewActualSizeRule(const CommandSnapshot& s)
{
    return {s.bHasImage, (s.nViewMode == 1 && s.fZoom == 1.0f) ? 1 : 0, std::nullopt};
}

CommandState UpdateViewScreenSizeRule(const CommandSnapshot& s)
{
    return {s.bHasImage, (s.nViewMode == 2 && s.nMaxArea == 0xFFFFFFFFu) ? 1 : 0, std::nullopt};
}

CommandState UpdateViewFitModeRule(uint32_t id, const CommandSnapshot& s)
{
    return {s.bHasImage, std::nullopt, static_cast<int64_t>(id) - ID_VIEW_ACTUAL_SIZE == s.nViewMode};
}

CommandState UpdateInterpolationRule(uint32_t id, const CommandSnapshot& s)
{
    // The interpolation can be chosen without a picture, so Enable is never called.
    return {std::nullopt, std::nullopt, static_cast<int64_t>(id) - ID_INTERP_DEFAULT == s.nInterpolation};
}

CommandState UpdateSetBackgroundRule(const CommandSnapshot& s)
{
    return EnabledWithPicture(s);
}

std::span<const CommandRuleEntry> CommandRuleTable()
{
    return kRules;
}

const CommandRuleEntry* FindCommandRule(uint32_t id)
{
    for (const CommandRuleEntry& entry : kRules) {
        if (id >= entry.idFirst && id <= entry.idLast)
            return &entry;
    }
    return nullptr;
}
