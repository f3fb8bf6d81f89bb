// The small helpers of the window layer: the text crossing, the file dialog's
// filters, the digit filter's characters and the bars and labels of the
// domain chart.
#include <QStandardItemModel>
#include <QtTest>

#include "app/digit_filter.h"
#include "app/domain_chart.h"
#include "app/standard_translations.h"
#include "app/widget_text.h"
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
    void utf8TextsAndValues() {
        const std::string sample = "用逗号分割多个@前缀，smile😀";
        QCOMPARE(app::utf8Of(app::widgetText(sample)), sample);
        // A UTF-8 value with bytes that are not UTF-8: one replacement each.
        QCOMPARE(app::valueText("a\xff\xfe张", true), QString::fromUtf8("a\uFFFD\uFFFD张"));
        QCOMPARE(app::valueText(platform::gbk("张三"), false), QString::fromUtf8("张三"));
    }

    void fileDialogFilters() {
        const QStringList filters = app::qtNameFilters(QString::fromUtf8("CSV 文件(*.csv)|*.csv|文本文件(*.txt)|*.txt"));
        QCOMPARE(filters, QStringList({QString::fromUtf8("CSV 文件(*.csv)"), QString::fromUtf8("文本文件(*.txt)")}));
        QCOMPARE(app::qtNameFilters(QStringLiteral("All|*.*")), QStringList({QStringLiteral("All (*.*)")}));
        // Several patterns of one entry, ";" between them, are blank-separated for Qt.
        QCOMPARE(app::qtNameFilters(QString::fromUtf8("Excel 工作簿|*.xlsx;*.xls")),
                 QStringList({QString::fromUtf8("Excel 工作簿 (*.xlsx *.xls)")}));
    }

    // Without Qt's catalogue the program goes on with English standard texts.
    void missingCatalogueLeavesTheStandardTexts() {
        QTemporaryDir empty;
        QVERIFY(!app::installStandardTranslations(*qApp, empty.path()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("OK"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("&Open"));
    }

    void digitFilterCharacters() {
        for (char16_t c = 0; c < 256; ++c) {
            const bool expected = c == 8 || c == 13 || c == 127 || (c >= '0' && c <= '9');
            QCOMPARE(app::isDigitFilterCharacter(c), expected);
        }
        QVERIFY(!app::isDigitFilterCharacter(u'５'));  // full-width digit
    }

    // rows domains "d1.com" ... with counts rows, rows-1, ..., 1 (largest first).
    static void fillDomains(QStandardItemModel& model, int rows) {
        for (int i = 0; i < rows; ++i)
            model.appendRow({new QStandardItem(QStringLiteral("d%1.com").arg(i + 1)),
                             new QStandardItem(QString::number(rows - i))});
    }

    void chartBars_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("foldAfter");
        QTest::addColumn<int>("bars");
        QTest::addColumn<qint64>("lastCount");
        QTest::addColumn<QString>("lastDomain");
        QTest::newRow("top N: every row") << 50 << 0 << 50 << qint64(1) << QStringLiteral("d50.com");
        QTest::newRow("all, 35 domains") << 35 << 30 << 31 << qint64(5 + 4 + 3 + 2 + 1) << QString::fromUtf8("其他");
        QTest::newRow("all, exactly 30") << 30 << 30 << 30 << qint64(1) << QStringLiteral("d30.com");
        QTest::newRow("all, 31 domains") << 31 << 30 << 31 << qint64(1) << QString::fromUtf8("其他");
        QTest::newRow("no rows") << 0 << 30 << 0 << qint64(0) << QString();
    }
    void chartBars() {
        QFETCH(int, rows);
        QFETCH(int, foldAfter);
        QFETCH(int, bars);
        QFETCH(qint64, lastCount);
        QFETCH(QString, lastDomain);
        QStandardItemModel model;
        fillDomains(model, rows);
        const std::vector<app::DomainBar> made = app::domainBars(model, foldAfter);
        QCOMPARE(static_cast<int>(made.size()), bars);
        if (bars == 0) return;
        QCOMPARE(made.front().domain, QStringLiteral("d1.com"));
        QCOMPARE(made.front().count, qint64(rows));
        QCOMPARE(made.back().domain, lastDomain);
        QCOMPARE(made.back().count, lastCount);
        qint64 sum = 0;
        for (const auto& bar : made) sum += bar.count;
        QCOMPARE(sum, qint64(rows) * (rows + 1) / 2);  // nothing lost to "其他"
    }
    void chartCountThatIsNotANumber() {
        QStandardItemModel model;
        model.appendRow({new QStandardItem(QStringLiteral("a.com")), new QStandardItem(QStringLiteral("x"))});
        model.appendRow({new QStandardItem(QStringLiteral("b.com")), new QStandardItem(QString())});
        const auto bars = app::domainBars(model, 0);
        QCOMPARE(bars.size(), std::size_t(2));
        QCOMPARE(bars[0].count, qint64(0));
        QCOMPARE(bars[1].count, qint64(0));
    }

    void barLabels_data() {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("listSize");
        QTest::addColumn<QString>("label");
        QTest::newRow("share") << qint64(1234) << qint64(10000) << QStringLiteral("1,234 (12.3%)");
        QTest::newRow("whole list") << qint64(8) << qint64(8) << QStringLiteral("8 (100.0%)");
        QTest::newRow("tiny share") << qint64(1) << qint64(20000000) << QStringLiteral("1 (<0.1%)");
        QTest::newRow("zero") << qint64(0) << qint64(5) << QStringLiteral("0 (0.0%)");
        QTest::newRow("no list size") << qint64(42) << qint64(0) << QStringLiteral("42");
        QTest::newRow("millions") << qint64(12345678) << qint64(24691356) << QStringLiteral("12,345,678 (50.0%)");
    }
    void barLabels() {
        QFETCH(qint64, count);
        QFETCH(qint64, listSize);
        QFETCH(QString, label);
        QCOMPARE(app::barLabel(count, listSize), label);
    }
};

QTEST_MAIN(AppUnitsTest)
#include "app_units_test.moc"
