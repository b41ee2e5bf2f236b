#include "app/qt/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace velmora {

namespace {

QString SongTiFace() { return QString::fromUtf8(kSongTiFace.data(), kSongTiFace.size()); }

// A face that covers simplified Chinese (character set GB2312), best first.
QString ChineseFace() {
    const QStringList installed = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& preferred :
         {QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Zen Hei"),
          QStringLiteral("Noto Sans CJK SC")}) {
        if (installed.contains(preferred, Qt::CaseInsensitive)) return preferred;
    }
    return installed.isEmpty() ? QString() : installed.first();
}

}  // namespace

void InstallChineseFontSubstitutes() {
    const QString songTi = SongTiFace();
    if (QFontDatabase::families().contains(songTi, Qt::CaseInsensitive)) return;
    const QString face = ChineseFace();
    if (!face.isEmpty()) QFont::insertSubstitution(songTi, face);
}

QFont WindowDefaultFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(9.0);
    return font;
}

QFont FontFor(ControlFont font) {
    if (font == ControlFont::WindowDefault) return WindowDefaultFont();
    QFont songTi(SongTiFace());
    songTi.setPointSizeF(kSongTiPoints);
    songTi.setWeight(static_cast<QFont::Weight>(kSongTiWeight));
    songTi.setItalic(false);
    songTi.setUnderline(false);
    songTi.setStrikeOut(false);
    return songTi;
}

}  // namespace velmora
