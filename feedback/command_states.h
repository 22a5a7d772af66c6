#pragma once
// Enabled, check and radio state of every command that has an update rule, decided
// from a snapshot of the main window's members.
#include <cstdint>
#include <optional>
#include <span>

struct CommandSnapshot {
    bool bHasImage;
    bool bListEmpty;
    uint32_t nFrameCount;
    int32_t nViewMode;
    float fZoom;
    uint32_t nMaxArea;
    int32_t nInterpolation;
};

// What a rule calls on the command-state object, in this order: Enable, SetCheck,
// SetRadio. An empty member is a call the rule does not make.
struct CommandState {
    std::optional<bool> enable;
    std::optional<int> check;
    std::optional<bool> radio;
};

CommandState UpdateFileNavRule(const CommandSnapshot& s);
CommandState UpdateFilePropertiesRule(const CommandSnapshot& s);
CommandState UpdateRotateFlipRule(const CommandSnapshot& s);
CommandState UpdateViewZoomRule(const CommandSnapshot& s);
CommandState UpdateViewActualSizeRule(const CommandSnapshot& s);
CommandState UpdateViewScreenSizeRule(const CommandSnapshot& s);
CommandState UpdateViewFitModeRule(uint32_t id, const CommandSnapshot& s);
CommandState UpdateInterpolationRule(uint32_t id, const CommandSnapshot& s);
CommandState UpdateSetBackgroundRule(const CommandSnapshot& s);

struct CommandRuleEntry {
    uint32_t idFirst, idLast;
    CommandState (*rule)(uint32_t id, const CommandSnapshot&);
};

// One entry per update handler of the main window, with its command range.
std::span<const CommandRuleEntry> CommandRuleTable();

// The entry whose range holds id; null for a command without a rule (always enabled).
const CommandRuleEntry* FindCommandRule(uint32_t id);
