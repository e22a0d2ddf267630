#pragma once

#include <QFrame>

class QLabel;

namespace kelvara {

// A notice shown inside the editor window, centred on it, with a button that
// puts it away. It never takes the keyboard focus, so keys typed while it is
// up keep playing and entering notes; the window carries on underneath.
class NoticePanel : public QFrame {
  Q_OBJECT

 public:
  explicit NoticePanel(QWidget* window);

  // Adds a paragraph (empty text adds nothing) and shows the panel.
  void add(const QString& text);
  // The paragraphs shown, one per line.
  QString text() const;
  // Centres it on the window again (after the window's size changed).
  void recentre();

 private:
  void placeOnWindow();

  QLabel* label_ = nullptr;
};

}  // namespace kelvara
