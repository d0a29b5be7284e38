#pragma once
// Helpers shared by the robustness tests: a desktop shell that records instead of opening
// anything, a count of the process's open files, and a probe that drives the real
// calculator window (typing, stepping, generating the report) and collects every text it
// shows.
#include "candidates/vrnctlBitTime.h"
#include "report/ReportFiles.h"
#include "report/basShellExecute.h"
#include "window/ReportFolder.h"
#include "window/frmMainBitTime.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <string>
#include <vector>

namespace robustness {

// Stands in for the desktop: remembers what it was asked to open.
class RecordingShell final : public quillon::DesktopShell {
public:
    std::string FindExecutable(const std::string&) override { return {}; }
    bool StartProgram(const std::string&, const std::string&) override { return false; }
    void OpenDocument(const std::string& filePath) override { opened.push_back(filePath); }

    std::vector<std::string> opened;
};

// Open file descriptors of this process.
inline std::size_t OpenFileCount() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

// Where the window writes its report.
inline std::filesystem::path WindowReportPath() {
    return ChooseReportFolder().path / quillon::kReportFileName;
}

inline std::filesystem::path WindowBitmapPath() {
    return ChooseReportFolder().path / quillon::kBitmapFileName;
}

class WindowProbe {
public:
    explicit WindowProbe(frmMainBitTime& window) : m_window(window) {}

    template <typename T> T* Child(const char* name) const {
        T* found = m_window.findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("missing child %s", name);
        }
        return found;
    }

    // Puts the text into the box as it is (tabs and line feeds included), the way a paste
    // or an automation client fills it.
    void SetBox(const char* box, const QString& text) const {
        Child<QLineEdit>(box)->setText(text);
    }
    QString Box(const char* box) const { return Child<QLineEdit>(box)->text(); }

    void Next() const { QTest::mouseClick(Child<QPushButton>("cmdNext"), Qt::LeftButton); }
    void Back() const { QTest::mouseClick(Child<QPushButton>("cmdBack"), Qt::LeftButton); }
    void GenerateReport() const {
        QTest::mouseClick(Child<QPushButton>("cmdGenerateReport"), Qt::LeftButton);
    }
    bool ReportEnabled() const { return Child<QPushButton>("cmdGenerateReport")->isEnabled(); }

    vrnctlBitTime* Candidates() const { return Child<vrnctlBitTime>("vrnBitTime"); }
    QTreeWidget* CandidateList() const { return Child<QTreeWidget>("lvwTq"); }
    QComboBox* TqList() const { return Child<QComboBox>("lstSelectTq"); }

    // Adds grid cell (BRP-1, Tq count) to the chosen list, as a double-click does.
    void AddGridCell(int brpMinus1, int tqCount) const {
        auto* grid = Child<QTableWidget>("g");
        // Table cells start below the header row and right of the header and quantum
        // columns: BRP-1 b is table row b, Tq count n is table column n - 8 + 1.
        emit grid->cellDoubleClicked(brpMinus1, tqCount - 8 + 1);
    }

    // The grid's texts, header row and column left out.
    QStringList GridTexts() const {
        QStringList texts;
        const vrnctlBitTime* control = Candidates();
        for (int row = 1; row < control->rowCount(); ++row) {
            for (int col = 1; col < control->columnCount(); ++col) {
                texts << control->cellText(row, col);
            }
        }
        return texts;
    }

    // The %Err texts of the chosen list.
    QStringList ListErrorTexts() const {
        QStringList texts;
        const QTreeWidget* list = CandidateList();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            texts << list->topLevelItem(i)->text(3);
        }
        return texts;
    }

    // Every text the window shows: labels, boxes, buttons, the Tq list, the grid and the
    // chosen list.
    QStringList AllTexts() const {
        QStringList texts;
        for (const QLabel* label : m_window.findChildren<QLabel*>()) {
            texts << label->text();
        }
        for (const QLineEdit* edit : m_window.findChildren<QLineEdit*>()) {
            texts << edit->text();
        }
        for (const QAbstractButton* button : m_window.findChildren<QAbstractButton*>()) {
            texts << button->text();
        }
        const QComboBox* tq = TqList();
        for (int i = 0; i < tq->count(); ++i) {
            texts << tq->itemText(i);
        }
        texts << GridTexts();
        const QTreeWidget* list = CandidateList();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            for (int col = 0; col < list->columnCount(); ++col) {
                texts << list->topLevelItem(i)->text(col);
            }
        }
        return texts;
    }

    // True while the window still shows the hourglass.
    bool WaitCursorShown() const { return m_window.cursor().shape() == Qt::WaitCursor; }

private:
    frmMainBitTime& m_window;
};

} // namespace robustness
