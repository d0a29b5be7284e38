// The candidate list control driven the way a user does: real double-clicks on the grid,
// button clicks, selections and resizes, checked against the grid texts, the list and the
// arrays handed to the window.
#include "candidates/vrnctlBitTime.h"
#include "candidates/Twips.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>
#include <utility>
#include <vector>

using Pairs = std::vector<std::pair<int, int>>; // (Tq count, BRP-1) in list order

class CandidatesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<vrnctlBitTime> control;
    QTableWidget* g() const { return control->findChild<QTableWidget*>("g"); }
    QTreeWidget* lvwTq() const { return control->findChild<QTreeWidget*>("lvwTq"); }
    QPushButton* button(const char* name) const { return control->findChild<QPushButton*>(name); }

    void calculate(double dOscFreqInMhz, double dCANBaudRate) {
        control->setProperty("dOscFreqInMhz", dOscFreqInMhz);
        control->setProperty("dCANBaudRate", dCANBaudRate);
        control->Calculate();
    }

    QStringList listTexts() const {
        QStringList rows;
        for (int i = 0; i < lvwTq()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = lvwTq()->topLevelItem(i);
            rows << QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join(
                '/');
        }
        return rows;
    }

    Pairs handedOver() const {
        quillon::OneBasedArray<std::int32_t> vTqValues;
        quillon::OneBasedArray<std::int32_t> vBRPValues;
        std::int32_t lNumItems = -1;
        control->GetTqValues(vTqValues, vBRPValues, lNumItems);
        Pairs pairs;
        for (std::int32_t i = 1; i <= lNumItems; ++i) {
            pairs.emplace_back(vTqValues(i), vBRPValues(i));
        }
        return pairs;
    }

    // A user's double-click: the press/release pair before it makes the cell the pressed one.
    void doubleClickCell(int row, int col) {
        const QModelIndex index = g()->model()->index(row - 1, col - 1);
        g()->scrollTo(index);
        const QPoint centre = g()->visualRect(index).center();
        QTest::mouseClick(g()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(g()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(g()->viewport(), Qt::LeftButton, {}, centre);
    }

private slots:
    void init() {
        control = std::make_unique<vrnctlBitTime>();
        control->resize(900, 500);
        control->show();
        QVERIFY(QTest::qWaitForWindowExposed(control.get()));
    }
    void cleanup() { control.reset(); }

    void emptyBeforeCalculate() {
        QCOMPARE(control->rowCount(), 2);
        QCOMPARE(control->columnCount(), 2);
        QCOMPARE(control->cellText(0, 0), QString());
        doubleClickCell(1, 1);
        QCOMPARE(lvwTq()->topLevelItemCount(), 0);
        QCOMPARE(handedOver(), Pairs{});
    }

    void gridTexts_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::newRow("corner") << 0 << 0 << "BRP-1 (hex)";
        QTest::newRow("Tq heading") << 0 << 1 << "Tq";
        QTest::newRow("first rate heading") << 0 << 2 << "8 Tq Baud";
        QTest::newRow("last rate heading") << 0 << 19 << "25 Tq Baud";
        QTest::newRow("BRP-1 0") << 1 << 0 << "0 (0x0)";
        QTest::newRow("BRP-1 10") << 11 << 0 << "10 (0xA)";
        QTest::newRow("BRP-1 63") << 64 << 0 << "63 (0x3F)";
        QTest::newRow("shortest quantum") << 1 << 1 << "125.000 nS";
        QTest::newRow("longest quantum") << 64 << 1 << QString::fromUtf8("8.000 \u00B5S");
        QTest::newRow("fastest rate") << 1 << 2 << "1.000 Mb";
        QTest::newRow("match 16 Tq") << 1 << 10 << "500.000 kb";
        QTest::newRow("slowest rate") << 64 << 19 << "5.000 kb";
        QTest::newRow("past the grid") << 65 << 20 << "";
    }
    void gridTexts() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        calculate(16, 500000);
        QCOMPARE(control->rowCount(), 65);
        QCOMPARE(control->columnCount(), 20);
        QCOMPARE(control->cellText(row, col), text);
    }

    void matchesStandOut() {
        calculate(16, 500000);
        QCOMPARE(listTexts(), (QStringList{"16/0/32/0.0", "8/1/32/0.0"}));
        QCOMPARE(handedOver(), (Pairs{{16, 0}, {8, 1}}));
        for (int row = 1; row <= 64; ++row) {
            for (int col = 2; col <= 19; ++col) {
                const bool match = (row == 1 && col == 10) || (row == 2 && col == 2);
                QVERIFY2(control->cellIsSilver(row, col) != match,
                         qPrintable(QString("cell %1,%2").arg(row).arg(col)));
                QCOMPARE(g()->item(row - 1, col - 1)->font().bold(), match);
            }
        }
        QVERIFY(!control->cellIsSilver(1, 1));
        // A new target moves the colours with it.
        calculate(16, 1000000);
        QVERIFY(!control->cellIsSilver(1, 2));
        QVERIFY(control->cellIsSilver(1, 10));
    }

    void doubleClickAppends_data() {
        QTest::addColumn<QVector<QPoint>>("cells"); // (row, col) in grid coordinates
        QTest::addColumn<QStringList>("added");
        QTest::newRow("8 Tq at BRP-1 0") << QVector<QPoint>{{1, 2}} << QStringList{"8/0/16/-100.0"};
        QTest::newRow("same cell twice")
            << QVector<QPoint>{{1, 9}, {1, 9}} << QStringList{"15/0/30/-6.6667", "15/0/30/-6.6667"};
        QTest::newRow("a match again") << QVector<QPoint>{{2, 2}} << QStringList{"8/1/32/0.0"};
        QTest::newRow("quantum column") << QVector<QPoint>{{3, 1}} << QStringList{};
    }
    void doubleClickAppends() {
        QFETCH(QVector<QPoint>, cells);
        QFETCH(QStringList, added);
        calculate(16, 500000);
        for (const QPoint& cell : cells) {
            doubleClickCell(cell.x(), cell.y());
        }
        QCOMPARE(listTexts(), QStringList({"16/0/32/0.0", "8/1/32/0.0"}) + added);
        QCOMPARE(control->chosenList().Count(), 2 + added.size());
        QCOMPARE(control->rowCount(), 65);
    }

    void doubleClickOnRowLabelDoesNothing() {
        calculate(16, 500000);
        QHeaderView* labels = g()->verticalHeader();
        const QPoint centre(labels->width() / 2, labels->sectionViewportPosition(0) + 3);
        QTest::mouseClick(labels->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(labels->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(control->chosenList().Count(), 2);
    }

    void removeAndClear() {
        calculate(20, 125000);
        QCOMPARE(handedOver(), (Pairs{{20, 3}, {16, 4}, {10, 7}, {8, 9}}));
        doubleClickCell(4, 14); // 20 Tq at BRP-1 3 a second time
        QTest::mouseClick(button("cmdRemove"), Qt::LeftButton);
        QCOMPARE(handedOver(), (Pairs{{20, 3}, {16, 4}, {10, 7}, {8, 9}, {20, 3}}));

        const QRect second = lvwTq()->visualItemRect(lvwTq()->topLevelItem(1));
        QTest::mouseClick(lvwTq()->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseClick(button("cmdRemove"), Qt::LeftButton);
        QCOMPARE(handedOver(), (Pairs{{20, 3}, {10, 7}, {8, 9}, {20, 3}}));
        QCOMPARE(listTexts(),
                 (QStringList{"20/3/160/0.0", "10/7/160/0.0", "8/9/160/0.0", "20/3/160/0.0"}));
        QTest::mouseClick(button("cmdRemove"), Qt::LeftButton); // the selection went with it
        QCOMPARE(control->chosenList().Count(), 4);

        QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
        QCOMPARE(lvwTq()->topLevelItemCount(), 0);
        quillon::OneBasedArray<std::int32_t> vTqValues(std::vector<std::int32_t>{7});
        quillon::OneBasedArray<std::int32_t> vBRPValues(std::vector<std::int32_t>{9, 9});
        std::int32_t lNumItems = -1;
        control->GetTqValues(vTqValues, vBRPValues, lNumItems);
        QCOMPARE(lNumItems, 0);
        QCOMPARE(vTqValues.values(), std::vector<std::int32_t>{7});
        QCOMPARE(vBRPValues.values(), (std::vector<std::int32_t>{9, 9}));
        QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
        QCOMPARE(control->chosenList().Count(), 0);
    }

    void calculateDiscardsEdits() {
        calculate(16, 500000);
        doubleClickCell(7, 5);
        calculate(16, 1000000);
        QCOMPARE(handedOver(), (Pairs{{8, 0}}));
        QCOMPARE(listTexts(), QStringList{"8/0/16/0.0"});
    }

    void decimalSeparator() {
        control->setDecimalSeparator(",");
        calculate(16, 500000);
        QCOMPARE(control->cellText(1, 1), QString("125,000 nS"));
        QCOMPARE(control->cellText(2, 2), QString("500,000 kb"));
        doubleClickCell(1, 9);
        QCOMPARE(listTexts(), (QStringList{"16/0/32/0,0", "8/1/32/0,0", "15/0/30/-6,6667"}));
    }

    void resizeSplitsSeventyThirty_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide") << QSize(1000, 600);
        QTest::newRow("narrow") << QSize(331, 250);
        QTest::newRow("panel just above the strip") << QSize(600, 28);
    }
    void resizeSplitsSeventyThirty() {
        QFETCH(QSize, size);
        control->resize(size);
        const int dpi = control->logicalDpiX();
        const int strip = 400 * dpi / 1440; // the button strip below the list, in pixels
        const auto* pctLeft = control->findChild<QWidget*>("pctLeft");
        QVERIFY(qAbs(g()->width() - 0.7 * size.width()) <= 1);
        QCOMPARE(g()->height(), size.height());
        QCOMPARE(pctLeft->x(), g()->width());
        QVERIFY(qAbs(pctLeft->width() - 0.3 * size.width()) <= 1);
        QCOMPARE(lvwTq()->width(), pctLeft->width());
        QVERIFY(qAbs(lvwTq()->height() - (size.height() - strip)) <= 1);
        QVERIFY(qAbs(button("cmdRemove")->y() - (lvwTq()->height() + 25 * dpi / 1440)) <= 1);
        QCOMPARE(button("cmdClear")->y(), button("cmdRemove")->y());
        QCOMPARE(button("cmdRemove")->x(), TwipsToPixels(60, control.get()));
    }

    void lowPanelKeepsListInPlace() {
        control->resize(800, 400);
        const QRect list = lvwTq()->geometry();
        const QRect remove = button("cmdRemove")->geometry();
        const int strip = 400 * control->logicalDpiX() / 1440;
        for (const int height : {strip, strip / 2, 0}) {
            control->resize(700, height);
            QCOMPARE(control->findChild<QWidget*>("pctLeft")->height(), height);
            QCOMPARE(lvwTq()->geometry(), list);
            QCOMPARE(button("cmdRemove")->geometry(), remove);
        }
    }
};

QTEST_MAIN(CandidatesTest)
#include "vrnctlBitTimeTest.moc"
