#include "dialogs/part_caption.h"

#include <QCoreApplication>

#include "score/editor_state.h"

namespace kelvara {

QString partCaption(int part) {
  if (part == kPercussionPart) {
    return QCoreApplication::translate("kelvara::PartNames", "パーカッション");
  }
  // The tenth melodic part follows the percussion part's index.
  const QString number = QString::number(part == kPartCount - 1 ? 10 : part + 1);
  QString caption = QCoreApplication::translate("kelvara::PartNames", "%1パート").arg(number);
  if (number.size() == 1 && caption.startsWith(number)) caption.prepend(QLatin1Char(' '));
  return caption;
}

}  // namespace kelvara
