// The candidate list control driven as a user does: double-clicks on the grid, clicks on
// the list and its buttons, resizes; checked against the grid, the list and the arrays the
// window reads.
#include "candidates/CandidateGrid.h"
#include "ui/Twips.h"

#include <QBrush>
#include <QFont>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <memory>
#include <utility>
#include <vector>

using Pairs = std::vector<std::pair<int, int>>; // (Tq count, BRP-1) in list order

class CandidatesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CandidateGrid> control;
    QTableView* g() const { return control->findChild<QTableView*>("g"); }
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
                const QModelIndex cell = g()->model()->index(row - 1, col - 1);
                const QString where = QStringLiteral("cell %1,%2").arg(row).arg(col);
                QVERIFY2(cell.data(Qt::FontRole).value<QFont>().bold() == match, qPrintable(where));
                QVERIFY2((cell.data(Qt::BackgroundRole).value<QBrush>() ==
                          QBrush(QColor(192, 192, 192))) == !match,
                         qPrintable(where));
                QVERIFY2(control->cellIsSilver(row, col) == !match, qPrintable(where));
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

    // The grid writes a cell's texts when they are asked for: never from a calculation
    // other than the last one, and nothing before the first.
    void cellTextsFollowTheLastCalculate_data() {
        QTest::addColumn<QStringList>("separators"); // one Calculate for each, 16 then 20 MHz
        QTest::addColumn<QStringList>("texts");      // grid cells (1,1), (1,10), (0,1), (1,0)
        QTest::addColumn<bool>("silver");            // grid cell (1,10), 16 Tq at BRP-1 0
        QTest::addColumn<QString>("description");    // of grid cell (1,10)
        QTest::newRow("before any Calculate")
            << QStringList{} << QStringList{"", "", "", ""} << false << QString();
        QTest::newRow("first Calculate, 16 MHz")
            << QStringList{"."} << QStringList{"125.000 nS", "500.000 kb", "Tq", "0 (0x0)"} << false
            << "Matches the 500.000 kbps asked for (BRP-1 0, 16 Tq)";
        // 20 MHz: 100 ns a quantum, 16 Tq make 625 kbit/s, 25 % above 500 kbit/s.
        QTest::newRow("second Calculate, 20 MHz and a comma")
            << QStringList{".", ","} << QStringList{"100,000 nS", "625,000 kb", "Tq", "0 (0x0)"}
            << true << "625,000 kbps, 25,0 % above the 500,000 kbps asked for (BRP-1 0, 16 Tq)";
    }
    void cellTextsFollowTheLastCalculate() {
        QFETCH(QStringList, separators);
        QFETCH(QStringList, texts);
        QFETCH(bool, silver);
        QFETCH(QString, description);
        double dOscFreqInMhz = 16;
        for (const QString& separator : separators) {
            control->setDecimalSeparator(separator);
            calculate(dOscFreqInMhz, 500000);
            // Read as a user sees it, before the next calculation.
            QVERIFY(!control->cellText(1, 10).isEmpty());
            dOscFreqInMhz = 20;
        }
        const QStringList shown{control->cellText(1, 1), control->cellText(1, 10),
                                control->cellText(0, 1), control->cellText(1, 0)};
        QCOMPARE(shown, texts);
        QCOMPARE(control->cellIsSilver(1, 10), silver);
        QCOMPARE(g()->model()->index(0, 9).data(Qt::AccessibleDescriptionRole).toString(),
                 description);
        QCOMPARE(control->rowCount(), separators.isEmpty() ? 2 : 65);
        // A double-click on the quantum column, or on the one empty cell before any
        // Calculate, adds nothing.
        const int listed = static_cast<int>(handedOver().size());
        doubleClickCell(1, 1);
        QCOMPARE(static_cast<int>(handedOver().size()), listed);
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
