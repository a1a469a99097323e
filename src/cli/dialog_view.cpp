#include "cli/dialog_view.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "resources/translation.h"

namespace cli {
namespace {

// A label farther than this (in dialog units) belongs to something else.
constexpr int labelReachUnits = 10;
// Labels right of a field are mostly units ("ms", "Hz"); a name on the left wins a tie.
constexpr int rightSidePenaltyUnits = 3;
// A closed drop-down list is as high as an edit; the template gives the open height.
constexpr int closedComboHeightUnits = 12;

ui::Rect visibleRect(const ui::ControlTemplate& row) {
    ui::Rect rect = row.rect;
    if (row.kind == ui::Kind::ComboBox) {
        rect.height = closedComboHeightUnits;
    }
    return rect;
}

int gap(int firstStart, int firstEnd, int secondStart, int secondEnd) {
    if (secondStart >= firstEnd) {
        return secondStart - firstEnd;
    }
    if (firstStart >= secondEnd) {
        return firstStart - secondEnd;
    }
    return 0;
}

bool overlapsVertically(const ui::Rect& a, const ui::Rect& b) {
    return a.y < b.y + b.height && b.y < a.y + a.height;
}

bool contains(const ui::Rect& outer, const ui::Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

std::string flags(bool checked, bool enabled, bool visible = true) {
    std::string out;
    if (checked) {
        out += "  [checked]";
    }
    if (!enabled) {
        out += "  [disabled]";
    }
    if (!visible) {
        out += "  [hidden]";
    }
    return out;
}

}  // namespace

std::string controlLabel(const ui::DialogTemplate& dialogTemplate, ui::ControlId id) {
    const auto row = std::ranges::find(dialogTemplate.controls, id, &ui::ControlTemplate::id);
    if (id == ui::noId || row == dialogTemplate.controls.end()) {
        return "-";
    }
    const ui::ControlTemplate* control = &*row;
    const bool ownText = control->kind != ui::Kind::Edit && control->kind != ui::Kind::ComboBox;
    if (ownText && !control->text.empty()) {
        return std::string(control->text);
    }
    const ui::Rect rect = visibleRect(*control);
    const ui::ControlTemplate* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (const ui::ControlTemplate& row : dialogTemplate.controls) {
        if (row.kind != ui::Kind::Label || row.text.empty()) {
            continue;
        }
        const int dx = gap(rect.x, rect.x + rect.width, row.rect.x, row.rect.x + row.rect.width);
        const int dy = gap(rect.y, rect.y + rect.height, row.rect.y, row.rect.y + row.rect.height);
        // Vertical distance counts double: a label sits beside its field more often than above.
        int distance = dx + 2 * dy;
        if (row.rect.x > rect.x) {
            distance += rightSidePenaltyUnits;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &row;
        }
    }
    if (best != nullptr && bestDistance <= labelReachUnits) {
        // A label broken over two lines ("Stopp" / "retour"): take every line of it.
        std::vector<const ui::ControlTemplate*> lines;
        for (const ui::ControlTemplate& row : dialogTemplate.controls) {
            const bool sameColumn =
                row.rect.x >= best->rect.x - 2 && row.rect.x <= best->rect.x + 2;
            if (row.kind == ui::Kind::Label && sameColumn && overlapsVertically(row.rect, rect) &&
                !row.text.empty()) {
                lines.push_back(&row);
            }
        }
        if (lines.empty()) {
            return std::string(best->text);
        }
        std::stable_sort(lines.begin(), lines.end(),
                         [](const auto* a, const auto* b) { return a->rect.y < b->rect.y; });
        std::string text;
        for (const ui::ControlTemplate* line : lines) {
            text += text.empty() ? "" : " ";
            text += line->text;
        }
        return text;
    }
    const ui::ControlTemplate* group = nullptr;
    for (const ui::ControlTemplate& row : dialogTemplate.controls) {
        if (row.kind == ui::Kind::GroupBox && contains(row.rect, rect) &&
            (group == nullptr || contains(group->rect, row.rect))) {
            group = &row;
        }
    }
    return group != nullptr ? std::string(group->text) : "-";
}

std::string showText(const ui::Dialog& dialog, lang::Language language) {
    const ui::DialogTemplate& german = dialog.dialogTemplate();
    const ui::DialogTemplate& dialogTemplate = lang::translatedTemplate(german, language);
    std::string out;
    for (const ui::ControlTemplate& row : dialogTemplate.controls) {
        // Rows without an id (labels, frames) never enter the dialog.
        if (!dialog.has(row.id)) {
            continue;
        }
        const ui::ControlState& state = dialog.control(row.id);
        out += std::to_string(row.id) + "  " + json::toUtf8(controlLabel(dialogTemplate, row.id)) +
               "  " + json::quote(lang::shownControlText(language, german, row.id, state.text)) +
               flags(state.checked, state.enabled, state.visible) + "\n";
    }
    std::string popup = "-";
    for (const ui::MenuItemTemplate& row : dialogTemplate.menu) {
        if (row.kind == ui::MenuKind::Popup) {
            popup = std::string(row.text);
            continue;
        }
        if (row.kind != ui::MenuKind::Item || !dialog.hasMenuItem(row.id)) {
            continue;
        }
        const ui::MenuItemState& item = dialog.menuItem(row.id);
        out += std::to_string(row.id) + "  " + json::toUtf8(row.level == 0 ? "-" : popup) + "  " +
               json::quote(row.text) + flags(item.checked, item.enabled) + "\n";
    }
    return out;
}

json::Value controlsJson(const ui::Dialog& dialog, lang::Language language) {
    json::Value controls = json::Value::object();
    const ui::DialogTemplate& german = dialog.dialogTemplate();
    for (const ui::ControlTemplate& row : german.controls) {
        if (!dialog.has(row.id)) {
            continue;
        }
        const ui::ControlState& state = dialog.control(row.id);
        json::Value& entry = controls[std::to_string(row.id)] = {
            {"text", lang::shownControlText(language, german, row.id, state.text)},
            {"checked", state.checked},
            {"enabled", state.enabled},
            {"visible", state.visible},
            {"selection", state.selection}};
        if (std::string name = lang::textName(state.text); !name.empty()) {
            entry["textName"] = std::move(name);
        }
    }
    return controls;
}

json::Value menuJson(const ui::Dialog& dialog) {
    json::Value menu = json::Value::object();
    for (const ui::MenuItemTemplate& row : dialog.dialogTemplate().menu) {
        if (row.kind != ui::MenuKind::Item || !dialog.hasMenuItem(row.id)) {
            continue;
        }
        const ui::MenuItemState& item = dialog.menuItem(row.id);
        menu[std::to_string(row.id)] = {{"enabled", item.enabled}, {"checked", item.checked}};
    }
    return menu;
}

}  // namespace cli
