#include "settings/dialog/gbk_text.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace settings {

QString fromGbk(const std::string& gbk) {
    QStringDecoder decoder("GBK");
    return decoder(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

std::string toGbk(const QString& text) {
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace settings
