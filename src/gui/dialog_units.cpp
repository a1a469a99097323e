#include "gui/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>

namespace gui {
namespace {

// Rounded like the system's MulDiv, which the dialog manager uses.
int mulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

QFont dialogFont(const ui::DialogTemplate& dialogTemplate) {
    QFont font(QString::fromUtf8(dialogTemplate.fontName.data(),
                                 static_cast<qsizetype>(dialogTemplate.fontName.size())),
               dialogTemplate.fontPoints);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits DialogUnits::fromFont(const QFont& font) {
    // The average character width as the dialog manager measures it: the mean advance of
    // the 52 Latin letters, rounded. The font's own average counts every glyph it has and
    // comes out narrower than text, which would clip the labels.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits{qMax(1, (letters / 26 + 1) / 2), qMax(1, metrics.height())};
}

int DialogUnits::x(int dialogUnits) const {
    return mulDiv(dialogUnits, baseWidth, 4);
}

int DialogUnits::y(int dialogUnits) const {
    return mulDiv(dialogUnits, baseHeight, 8);
}

QRect DialogUnits::rect(const ui::Rect& r) const {
    return QRect(x(r.x), y(r.y), x(r.width), y(r.height));
}

}  // namespace gui
