// The small helpers of the window layer: the GBK crossing, the file dialog's
// filters and the digit filter's characters.
#include <QtTest>

#include "app/digit_filter.h"
#include "app/gbk_text.h"
#include "app/ui_ports.h"
#include "platform/code_page.h"

class AppUnitsTest : public QObject {
    Q_OBJECT
private slots:
    void gbkToWidgetText() {
        QCOMPARE(app::fromGbk(platform::gbk("张三@例子.com")), QString::fromUtf8("张三@例子.com"));
        QCOMPARE(app::fromGbk("plain ascii"), QStringLiteral("plain ascii"));
        QCOMPARE(app::fromGbk(""), QString());
    }
    void invalidGbkBecomesReplacementCharacters() {
        // 0xFF is never GBK; 0x81 needs a trail byte of 0x40 or more; a lead
        // byte at the end has no trail at all.
        const QString shown = app::fromGbk(std::string("a\xff" "b\x81 c\xd5", 7));
        QCOMPARE(shown, QString::fromUtf8("a\uFFFDb\uFFFD c\uFFFD"));
        // Good text around a bad byte keeps its characters.
        const QString mixed = app::fromGbk(platform::gbk("张三") + "\xff" + platform::gbk("李四"));
        QCOMPARE(mixed, QString::fromUtf8("张三\uFFFD李四"));
    }
    void widgetTextToGbk() {
        QCOMPARE(app::toGbk(QString::fromUtf8("后缀内容")), std::optional<std::string>(platform::gbk("后缀内容")));
        QCOMPARE(app::toGbk(QStringLiteral("qq.com")), std::optional<std::string>("qq.com"));
        QVERIFY(!app::toGbk(QString::fromUtf8("smile😀")).has_value());
    }
    void roundTripOfEveryDoubleByteCharacterSample() {
        const std::string sample = platform::gbk("用逗号分割多个@前缀，数据量排名前10个邮件域");
        QCOMPARE(app::toGbk(app::fromGbk(sample)), std::optional<std::string>(sample));
    }

    void fileDialogFilters() {
        const QStringList filters = app::qtNameFilters(QString::fromUtf8("CSV 文件(*.csv)|*.csv|文本文件(*.txt)|*.txt"));
        QCOMPARE(filters, QStringList({QString::fromUtf8("CSV 文件(*.csv)"), QString::fromUtf8("文本文件(*.txt)")}));
        QCOMPARE(app::qtNameFilters(QStringLiteral("All|*.*")), QStringList({QStringLiteral("All (*.*)")}));
    }

    void digitFilterCharacters() {
        for (char16_t c = 0; c < 256; ++c) {
            const bool expected = c == 8 || c == 13 || c == 127 || (c >= '0' && c <= '9');
            QCOMPARE(app::isDigitFilterCharacter(c), expected);
        }
        QVERIFY(!app::isDigitFilterCharacter(u'５'));  // full-width digit
    }
};

QTEST_MAIN(AppUnitsTest)
#include "app_units_test.moc"
