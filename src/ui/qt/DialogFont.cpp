#include "ui/qt/DialogFont.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
}  // namespace

QFont DialogFont(const DialogTemplate& dialogTemplate) {
    const QString family = QString::fromLatin1(dialogTemplate.fontName);
    if (QFontDatabase::hasFamily(family)) {
        return QFont(family, dialogTemplate.pointSize);
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(dialogTemplate.pointSize);
    return font;
}

QFont FixedWidthFont(const QFont& dialogFont) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(dialogFont.pointSize());
    // The log holds Latin-1 text in one fixed-width face: nothing in it needs shaping, and
    // shaping every line again is most of what a new log costs.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

DialogBaseUnits MeasureDialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    return DialogBaseUnitsFromFont(metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)),
                                   metrics.height());
}
