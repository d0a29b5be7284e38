#pragma once
// Step 1's choice of controller: the classic ones (the calculator as it always was) or
// Microchip's CAN FD controllers, with the two inputs only CAN FD needs, the data rate and
// the PLL, which show only while CAN FD is chosen. The window reads it when ">" is pressed.
#include <QList>
#include <QWidget>

namespace quillon {
inline namespace common {
struct Controller;
} // namespace common
} // namespace quillon

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class ControllerChoice : public QWidget {
    Q_OBJECT

public:
    explicit ControllerChoice(QWidget* parent = nullptr);

    bool IsFd() const;
    // The single controller chosen, or nullptr for the entry that stands for its whole kind
    // (the calculator's MCP2510/MCP251X; the MCP251xFD and the dsPIC33C together).
    const quillon::Controller* Row() const;
    QLineEdit* dataRateBox() const { return txtDataRate; }
    bool Pll() const;
    // The entry chosen as a word that stays the same between versions: the table row's name
    // ("mcp2515"; the calculator's entry is its row "mcp251x"), or "canfd" for the CAN FD one.
    QString EntryName() const;
    // Chooses the entry of such a word (a row's alias too); false for a word no entry has.
    bool ChooseEntry(const QString& name);
    // Switches the PLL on or off; false when the chosen controller has none to switch on.
    bool SetPll(bool on);
    // The controls in the order the keyboard visits them.
    QList<QWidget*> TabChain() const;

signals:
    // Return in the data-rate box: go on as ">" does.
    void returnPressed();

private:
    void ShowFdInputs();

    QComboBox* cboController = nullptr;
    QLabel* lblDataRate = nullptr;
    QLineEdit* txtDataRate = nullptr;
    QCheckBox* chkPll = nullptr;
};
