#pragma once

#include <QList>

class CMovaraDlg;

// The main window's command table: every command id that reaches the window
// (its buttons, the drop-down menus and panels, the context menus of the
// front picture and the play list, the full-screen caption and control box,
// the accelerators) runs here. Each command traces its text, closes the
// drop-down windows first (all but the window buttons 1001 to 1006, which
// open and close them) and checks its own condition (the engine's state, the
// play list's empty mode): the buttons' enabled states are not relied on.
// The actions themselves are the window's and its collaborators'.
//
// Thread: GUI thread. Ownership: held by the window, which outlives it.
// Failure: an id without an action changes nothing.
class CCommandRouter
{
public:
    explicit CCommandRouter(CMovaraDlg& window);

    // Runs command `id`. False when the id lies outside the window's command
    // ranges (nothing happens then).
    bool OnCommand(int id);
    // The accelerator table: the command (or close) of an accelerator id.
    void OnAccelerator(int acceleratorId);

    // Whether `id` lies in the command ranges the window handles.
    static bool InCommandRanges(int id);
    // The ids with an action of their own (for inspection).
    static QList<int> CommandsWithAction();

private:
    void PictureCommand(int id);
    void ContextCommand(int id);
    void FoldCommand(int id);

    CMovaraDlg& m_window;
};
