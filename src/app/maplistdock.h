#pragma once

#include <QDockWidget>

class QTableWidget;

namespace Vorlane {

class DocumentSession;

// A read-only table beside the picture: each map's numbers as the
// transformation editor shows them, and how often the chaos game picks it.
// Changes go through the editor or the frames' drags, never through here.
class MapListDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit MapListDock(const DocumentSession &session, QWidget *parent = nullptr);

    // Fills the rows from the document as it is now; the selection is the
    // caller's to show again.
    void refresh();
    // Marks the row of map index, none for -1, without telling anyone.
    void showSelectedMap(int index);

Q_SIGNALS:
    // The user picked the row of map index.
    void mapChosen(int index);
    // The user double-clicked the row of map index.
    void mapOpened(int index);

private:
    const DocumentSession &m_session;
    QTableWidget *m_table;
};

} // namespace Vorlane
