// The candidate list control driven as a user does: double-clicks on the grid, clicks on
// the list and its buttons, resizes; checked against the grid, the list and the arrays the
// window reads.
#include "candidates/CandidateGrid.h"
#include "ui/Twips.h"

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

    std::unique_ptr<CandidateGrid> control;
    QTableWidget* g() const { return control->findChild<QTableWidget*>("g"); }
    QTreeWidget* lvwTq() const { return control->findChild<QTreeWidget*>("lvwTq"); }
    QPushButton* button(const char* name) const { return control->findChild<QPushButton*>(name); }

    void calculate(double dOscFreqInMhz, double dCANBaudRate) {
        control->SetOscFreqInMhz(dOscFreqInMhz);
        control->SetCANBaudRate(dCANBaudRate);
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

    // A user's double-click on grid cell (row, col), header row and column counted.
    void doubleClickCell(int row, int col) {
        const QModelIndex index = g()->model()->index(row - 1, col - 1);
        g()->scrollTo(index);
        const QPoint centre = g()->visualRect(index).center();
        QTest::mouseClick(g()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(g()->viewport(), Qt::LeftButton, {}, centre);
    }

private slots:
    void init() {
        control = std::make_unique<CandidateGrid>();
        control->setDecimalSeparator(".");
        control->resize(900, 500);
        control->show();
        QVERIFY(QTest::qWaitForWindowExposed(control.get()));
    }
    void cleanup() { control.reset(); }

    void gridTextsOfOneRowAndTheHeadings() {
        calculate(16, 500000);
        QCOMPARE(control->rowCount(), 65);
        QCOMPARE(control->columnCount(), 20);
        const QStringList headings{"BRP-1 (hex)", "Tq", "8 Tq Baud", "9 Tq Baud"};
        const QStringList row1{"0 (0x0)", "125.000 nS", "1.000 Mb", "888.889 kb"};
        for (int col = 0; col < headings.size(); ++col) {
            QCOMPARE(control->cellText(0, col), headings[col]);
            QCOMPARE(control->cellText(1, col), row1[col]);
        }
        QCOMPARE(control->cellText(0, 19), QStringLiteral("25 Tq Baud"));
        QCOMPARE(control->cellText(64, 0), QStringLiteral("63 (0x3F)"));
    }

    // Matches bold on the normal background, every other rate silver and not bold.
    void matchesStandOutFromTheSilverRest() {
        calculate(16, 500000);
        for (int row = 1; row <= 64; ++row) {
            for (int col = 2; col <= 19; ++col) {
                const bool match = (row == 1 && col == 10) || (row == 2 && col == 2);
                const QTableWidgetItem* item = g()->item(row - 1, col - 1);
                const QString where = QStringLiteral("cell %1,%2").arg(row).arg(col);
                QVERIFY2(item->font().bold() == match, qPrintable(where));
                QVERIFY2((item->background() == QBrush(QColor(192, 192, 192))) == !match,
                         qPrintable(where));
            }
        }
        QCOMPARE(listTexts(), (QStringList{"16/0/32/0.0", "8/1/32/0.0"}));
    }

    void doubleClickAppendsWithTheGridSign() {
        calculate(16, 500000);
        doubleClickCell(1, 2); // 8 Tq at BRP-1 0: 1 Mbit/s
        QCOMPARE(listTexts().value(2), QStringLiteral("8/0/16/-100.0"));
        QCOMPARE(handedOver(), (Pairs{{16, 0}, {8, 1}, {8, 0}}));

        QHeaderView* labels = g()->verticalHeader();
        const QPoint label(labels->width() / 2, labels->sectionViewportPosition(0) + 3);
        QTest::mouseClick(labels->viewport(), Qt::LeftButton, {}, label);
        QTest::mouseDClick(labels->viewport(), Qt::LeftButton, {}, label);
        QCOMPARE(handedOver().size(), 3u);
    }

    void removeTakesTheSelectedEntryOnlyAndClearTakesAll() {
        calculate(20, 125000);
        QCOMPARE(handedOver(), (Pairs{{20, 3}, {16, 4}, {10, 7}, {8, 9}}));
        QTest::mouseClick(button("cmdRemove"), Qt::LeftButton); // nothing selected
        QCOMPARE(handedOver().size(), 4u);

        const QRect second = lvwTq()->visualItemRect(lvwTq()->topLevelItem(1));
        QTest::mouseClick(lvwTq()->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseClick(button("cmdRemove"), Qt::LeftButton);
        QCOMPARE(handedOver(), (Pairs{{20, 3}, {10, 7}, {8, 9}}));
        QCOMPARE(listTexts(), (QStringList{"20/3/160/0.0", "10/7/160/0.0", "8/9/160/0.0"}));

        QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
        QCOMPARE(lvwTq()->topLevelItemCount(), 0);
        // The empty list hands over a count of 0 and leaves the arrays as they were.
        quillon::OneBasedArray<std::int32_t> vTqValues(std::vector<std::int32_t>{7});
        quillon::OneBasedArray<std::int32_t> vBRPValues(std::vector<std::int32_t>{9, 9});
        std::int32_t lNumItems = -1;
        control->GetTqValues(vTqValues, vBRPValues, lNumItems);
        QCOMPARE(lNumItems, 0);
        QCOMPARE(vTqValues.values(), std::vector<std::int32_t>{7});
        QCOMPARE(vBRPValues.values(), (std::vector<std::int32_t>{9, 9}));
    }

    void calculateDiscardsEdits() {
        calculate(16, 500000);
        doubleClickCell(7, 5);
        calculate(16, 1000000);
        QCOMPARE(listTexts(), QStringList{"8/0/16/0.0"});
        QCOMPARE(handedOver(), (Pairs{{8, 0}}));
    }

    void decimalSeparator() {
        control->setDecimalSeparator(",");
        calculate(16, 500000);
        QCOMPARE(control->cellText(1, 1), QStringLiteral("125,000 nS"));
        doubleClickCell(1, 9);
        QCOMPARE(listTexts().value(2), QStringLiteral("15/0/30/-6,6667"));
    }

    void gridAndListShareTheWidthSeventyToThirty() {
        control->resize(1000, 600);
        const auto* pctLeft = control->findChild<QWidget*>("pctLeft");
        QVERIFY(qAbs(g()->width() - 700) <= 1);
        QCOMPARE(g()->height(), 600);
        QCOMPARE(pctLeft->x(), g()->width());
        QVERIFY(qAbs(pctLeft->width() - 300) <= 1);
        QCOMPARE(lvwTq()->width(), pctLeft->width());
        // The buttons stand in a 400-twip strip under the list, 25 twips below it.
        QVERIFY(qAbs(lvwTq()->height() - (600 - TwipsToPixels(400, control.get()))) <= 1);
        QVERIFY(qAbs(button("cmdRemove")->y() -
                     (lvwTq()->height() + TwipsToPixels(25, control.get()))) <= 1);
        QCOMPARE(button("cmdClear")->y(), button("cmdRemove")->y());
    }
};

QTEST_MAIN(CandidatesTest)
#include "CandidateGridTest.moc"
