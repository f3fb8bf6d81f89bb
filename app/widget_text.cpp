#include "app/widget_text.h"

#include <QStringDecoder>

#include "platform/code_page.h"

namespace app {

QString widgetText(std::string_view utf8) {
    if (platform::isValidUtf8(utf8)) return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const std::string shown = platform::utf8Lossy(utf8);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

std::string utf8Of(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString fromGbk(std::string_view gbk) {
    // ICU's GBK silently drops a lead byte at the end and maps some bytes that
    // are not GBK (0x80, 0xFF) to other characters: text that is not valid
    // GBK is shown with a replacement character for every bad byte instead.
    if (!platform::gbkToUtf8Strict(gbk)) return widgetText(platform::gbkToUtf8(gbk));
    // Qt knows GBK only by name (through ICU), not by its encoding enum.
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) return widgetText(platform::gbkToUtf8(gbk));
    return decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

QString valueText(std::string_view bytes, bool utf8) { return utf8 ? widgetText(bytes) : fromGbk(bytes); }

}  // namespace app
