#pragma once
// The dialog behind the "Bus..." buttons of step 1 and step 3: the bus as it is built, which
// the findings judge every setting against. The length (empty: no length check), the cable
// and transceiver loop delays, the crystal tolerance and the CAN FD transceivers' class, each
// an empty box standing for its default. It is accepted only with values the model takes;
// otherwise a message says why and the dialog stays open with the values as typed.
#include "timing/common/BusContext.h"

#include <QDialog>
#include <QString>

#include <optional>

class QComboBox;
class QLineEdit;

// "40 m, 5 ns/m, 255 ns loop delay, crystals 100 ppm", "no length check, ...", with the
// transceiver class where one is set.
QString BusSummary(const quillon::BusContext& bus);

class BusDialog : public QDialog {
    Q_OBJECT

public:
    BusDialog(const quillon::BusContext& bus, QWidget* parent = nullptr);

    // The bus of the accepted values.
    const quillon::BusContext& bus() const { return m_bus; }

public slots:
    void accept() override;

private:
    // The bus the boxes hold, or what keeps them from being read and the box to correct.
    std::optional<quillon::BusContext> Read(QString& problem, QLineEdit*& wrong) const;

    quillon::BusContext m_bus;
    QLineEdit* txtBusLength = nullptr;
    QLineEdit* txtCableDelay = nullptr;
    QLineEdit* txtLoopDelay = nullptr;
    QLineEdit* txtCrystalPpm = nullptr;
    QComboBox* cboTransceiver = nullptr;
};
