#pragma once

#include <QObject>

class QSocketNotifier;

namespace kelvara {

// Turns SIGTERM and SIGINT into a Qt signal delivered on the UI thread (the
// handler only writes to a pipe), so the editor can end as cleanly as its
// quit command does. One per process.
class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;
  // False when the handlers could not be installed (the default stays).
  bool installed() const { return notifier_ != nullptr; }

 signals:
  // SIGTERM or SIGINT arrived.
  void received();

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kelvara
