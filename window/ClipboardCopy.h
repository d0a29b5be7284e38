#pragma once
// Putting an exported setting onto the clipboard, for the classic and the CAN FD "Copy as"
// menus alike. What the target would refuse or change is said in a box after the text is
// copied; without text nothing is copied and the box says why.
#include <QString>

#include <string>
#include <vector>

class CopyNote;
class QWidget;

// `form` names the export in the boxes and the note ("C header for the MCP251x").
void CopyExport(QWidget* parent, CopyNote* note, const QString& form, const std::string& text,
                const std::vector<std::string>& warnings);
