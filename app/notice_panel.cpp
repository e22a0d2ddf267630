#include "app/notice_panel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvara {

namespace {
constexpr int kPanelWidth = 460;
}  // namespace

NoticePanel::NoticePanel(QWidget* window) : QFrame(window) {
  setObjectName(QStringLiteral("NoticePanel"));
  setFrameShape(QFrame::Box);
  // The colours of the desktop's tool tips: a note apart from the window,
  // readable in light and dark themes alike, and following a theme change.
  setBackgroundRole(QPalette::ToolTipBase);
  setForegroundRole(QPalette::ToolTipText);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 10);
  label_ = new QLabel(this);
  label_->setForegroundRole(QPalette::ToolTipText);
  label_->setWordWrap(true);
  label_->setTextFormat(Qt::PlainText);
  label_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(label_);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("NoticeOk"));
  ok->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, [this] {
    label_->clear();
    hide();
  });
  hide();
}

void NoticePanel::add(const QString& text) {
  if (text.isEmpty()) return;
  label_->setText(label_->text().isEmpty() ? text : label_->text() + QLatin1Char('\n') + text);
  placeOnWindow();
  show();
  raise();
}

void NoticePanel::recentre() {
  if (isVisible()) placeOnWindow();
}

QString NoticePanel::text() const {
  return label_->text();
}

void NoticePanel::placeOnWindow() {
  setFixedWidth(kPanelWidth);
  const int height = layout()->heightForWidth(kPanelWidth);
  resize(kPanelWidth, height > 0 ? height : sizeHint().height());
  const QWidget* window = parentWidget();
  move((window->width() - width()) / 2, (window->height() - this->height()) / 2);
}

}  // namespace kelvara
