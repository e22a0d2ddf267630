#include "dialogs/sound_dialog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

#include "dialogs/centre.h"
#include "dialogs/ok_cancel.h"
#include "dialogs/part_caption.h"
#include "score/voice_names.h"

namespace kelvara {

namespace {

constexpr char kCaption[] = QT_TRANSLATE_NOOP("kelvara::TForm2", "MIDI音源");

// Columns of the voice-and-volume grid.
constexpr int kLabelColumn = 0;
constexpr int kVoiceColumn = 1;
constexpr int kVolumeColumn = 2;
constexpr int kPanColumn = 3;

QString qs(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

TForm2::TForm2(MidiOutput& midi, QWidget* parent, UserQuestions* questions)
    : QDialog(parent), midi_(midi), questions_(questions) {
  setObjectName("Form2");
  setWindowTitle(tr(kCaption));
  setModal(true);

  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);  // fixed border

  auto* deviceRow = new QHBoxLayout;
  deviceRow->addWidget(new QLabel(tr("使用するMIDI音源"), this));
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setEditable(false);
  ComboBox1->setMinimumContentsLength(32);
  deviceRow->addWidget(ComboBox1, 1);
  top->addLayout(deviceRow);

  auto* inputRow = new QHBoxLayout;
  inputRow->addWidget(new QLabel(tr("MIDI入力"), this));
  InputList = new QComboBox(this);
  InputList->setObjectName("InputList");
  InputList->setEditable(false);
  InputList->setMinimumContentsLength(32);
  inputRow->addWidget(InputList, 1);
  top->addLayout(inputRow);

  buildRows();

  const OkCancelButtons okCancel = addOkCancelRow(this, top);
  OkButton = okCancel.ok;
  CancelButton = okCancel.cancel;

  FormCreate();
}

void TForm2::buildRows() {
  auto* group = new QGroupBox(tr(" 音色と音量 "), this);
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(tr("音色"), group), 0, kVoiceColumn, Qt::AlignHCenter);
  grid->addWidget(new QLabel(tr("音量 (0-127)"), group), 0, kVolumeColumn, Qt::AlignHCenter);
  grid->addWidget(new QLabel(tr("左←       配置       →右"), group), 0, kPanColumn,
                  Qt::AlignHCenter);

  QStringList voices;
  for (int program = 0; program < kVoiceCount; ++program) voices << qs(voiceListEntry(program));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

  int voiceNumber = 2;  // ComboBox2 ..
  for (int row = 0; row < kPartCount; ++row) {
    const int part = kSoundDialogRows[static_cast<size_t>(row)];
    const int gridRow = row + 1;
    grid->addWidget(new QLabel(partCaption(part), group), gridRow, kLabelColumn);

    if (part == kPercussionPart) {
      grid->addWidget(new QLabel(tr("－"), group), gridRow, kVoiceColumn, Qt::AlignHCenter);
    } else {
      auto* list = new QComboBox(group);
      list->setObjectName(QString("ComboBox%1").arg(voiceNumber++));
      list->setEditable(false);
      list->setFont(fixed);
      list->addItems(voices);
      grid->addWidget(list, gridRow, kVoiceColumn);
      voice_[static_cast<size_t>(part)] = list;
    }

    auto* box = new QLineEdit(group);
    box->setObjectName(QString("Edit%1").arg(row + 1));
    box->setFixedWidth(box->fontMetrics().horizontalAdvance("00000") + 12);
    grid->addWidget(box, gridRow, kVolumeColumn);
    volume_[static_cast<size_t>(part)] = box;

    auto* bar = new QSlider(Qt::Horizontal, group);
    bar->setObjectName(QString("Haichi%1").arg(row + 1));
    bar->setRange(0, kMaxPan);
    bar->setTickInterval(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setPageStep(1);
    bar->setMinimumWidth(180);
    grid->addWidget(bar, gridRow, kPanColumn);
    pan_[static_cast<size_t>(part)] = bar;
  }
  layout()->addWidget(group);
}

void TForm2::FormCreate() {
  ComboBox1->clear();
  const int count = midi_.midiOutGetNumDevs();
  for (int device = 0; device < count; ++device) {
    ComboBox1->addItem(qs(midi_.midiOutGetDevCaps(device)));
  }
  if (count == 0) ComboBox1->addItem(tr("（MIDI出力装置がありません）"));
  ComboBox1->setEnabled(count > 0);
}

void TForm2::load(const SoundSettings& settings) {
  loaded_ = settings;
  ComboBox1->setCurrentIndex(settings.device < ComboBox1->count() ? settings.device : 0);
  InputList->clear();
  InputList->addItem(tr("なし"), QString());
  for (const MidiPortInfo& port : settings.inputPorts) {
    InputList->addItem(qs(cutDeviceName(port.label)), qs(port.id));
  }
  // A chosen port that is no longer listed shows as none.
  InputList->setCurrentIndex(std::max(InputList->findData(qs(settings.input)), 0));
  for (int part = 0; part < kPartCount; ++part) {
    const auto p = static_cast<size_t>(part);
    if (voice_[p] != nullptr) voice_[p]->setCurrentIndex(settings.program[p]);  // -1 if outside
    volume_[p]->setText(qs(settings.volume[p]));
    pan_[p]->setValue(settings.pan[p]);
  }
}

SoundSettings TForm2::settings() const {
  SoundSettings out = loaded_;
  out.device = ComboBox1->isEnabled() ? std::max(ComboBox1->currentIndex(), 0) : 0;
  out.input = InputList->currentData().toString().toStdString();
  for (int part = 0; part < kPartCount; ++part) {
    const auto p = static_cast<size_t>(part);
    if (voice_[p] != nullptr && voice_[p]->currentIndex() >= 0) {
      out.program[p] = voice_[p]->currentIndex();
    }
    out.volume[p] = volume_[p]->text().toStdString();
    out.pan[p] = pan_[p]->value();
  }
  return out;
}

QComboBox* TForm2::voiceList(int part) const {
  return voice_.at(static_cast<size_t>(part));
}

QLineEdit* TForm2::volumeBox(int part) const {
  return volume_.at(static_cast<size_t>(part));
}

QSlider* TForm2::panBar(int part) const {
  return pan_.at(static_cast<size_t>(part));
}

void TForm2::accept() {
  if (const std::optional<VolumeProblem> problem = checkVolumes(settings())) {
    if (questions_ != nullptr) {
      questions_->error(problem->message);
    } else {
      QMessageBox::warning(this, tr(kCaption), qs(problem->message));
    }
    QLineEdit* box = volumeBox(problem->part);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return;
  }
  QDialog::accept();
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverWindow(*this);
}

bool runSoundDialog(TForm2& dialog, EditorState& s, MidiOutput& midi, UserQuestions* questions,
                    MidiInputChoice* input) {
  dialog.load(loadSoundSettings(s, midi, input));
  if (dialog.exec() != QDialog::Accepted) return false;
  applySoundSettings(s, midi, dialog.settings(), input);  // the dialog has checked the volumes
  std::string notice = midi.takeNotice();
  if (input != nullptr) {
    const std::string inputNotice = input->takeNotice();
    notice += (notice.empty() || inputNotice.empty() ? "" : "\n") + inputNotice;
  }
  if (!notice.empty()) {
    if (questions != nullptr) {
      questions->inform(notice);
    } else {
      QMessageBox::information(dialog.parentWidget(), TForm2::tr(kCaption), qs(notice));
    }
  }
  return true;
}

bool runSoundDialog(QWidget* parent, EditorState& s, MidiOutput& midi, UserQuestions* questions,
                    MidiInputChoice* input) {
  TForm2 dialog(midi, parent, questions);
  return runSoundDialog(dialog, s, midi, questions, input);
}

}  // namespace kelvara
