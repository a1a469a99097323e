// Dialog units to pixels, from the dialog's font, the way the native dialog manager maps
// them: x px = x × average character width / 4, y px = y × font height / 8.
#pragma once

#include <QFont>
#include <QRect>

#include "ui/dialog_template.h"

namespace gui {

// The template's font; where that family is missing, a sans-serif face of the same size.
QFont dialogFont(const ui::DialogTemplate& dialogTemplate);

struct DialogUnits {
    int baseWidth = 0;   // average character width, px
    int baseHeight = 0;  // font height, px

    static DialogUnits fromFont(const QFont& font);

    int x(int dialogUnits) const;
    int y(int dialogUnits) const;
    QRect rect(const ui::Rect& rect) const;
};

// Every edit of the templates is this tall; a closed combo box has the same height.
inline constexpr int editHeightDu = 12;

}  // namespace gui
