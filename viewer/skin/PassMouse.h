#pragma once

class QMouseEvent;
class QWidget;

// Hands a copy of a mouse event that reached `widget` to its parent, in the
// widget's own coordinates and unchanged (sent, so the parent has handled it
// on return), then accepts the original. Without a parent only the accept.
// GUI thread.
void PassMouseToParent(QWidget* widget, QMouseEvent* event);
