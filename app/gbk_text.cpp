#include "app/gbk_text.h"

#include <QStringDecoder>

#include "platform/code_page.h"

namespace app {

QString fromGbk(std::string_view gbk) {
    // ICU's GBK silently drops a lead byte at the end and maps some bytes that
    // are not GBK (0x80, 0xFF) to other characters: text that is not valid
    // GBK is shown with a replacement character for every bad byte instead.
    if (!platform::gbkToUtf8Strict(gbk)) return QString::fromUtf8(platform::gbkToUtf8(gbk));
    // Qt knows GBK only by name (through ICU), not by its encoding enum.
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) return QString::fromUtf8(platform::gbkToUtf8(gbk));
    return decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

std::optional<std::string> toGbk(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return platform::utf8ToGbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::string toGbkLossy(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return platform::utf8ToGbkLossy(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace app
