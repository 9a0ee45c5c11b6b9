#include "gui/config/FirstStartForm.h"

#include <QButtonGroup>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/transfer/Version.h"
#include "gui/common/Fonts.h"
#include "gui/common/Named.h"
#include "gui/common/ProgramPicture.h"
#include "gui/common/QtText.h"
#include "gui/config/Languages.h"
#include "gui/config/RegConfig.h"
#include "gui/config/Translators.h"

namespace cq {

namespace {

bool g_declined = false;

QString LoadResourceText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace

QString DocumentHtml(TDocument document, bool secondLanguage) {
  const QString name = document == TDocument::License ? "licence" : "notes";
  return LoadResourceText(":/docs/" + name + (secondLanguage ? ".ru" : ".en") + ".html");
}

TFirstStartForm::TFirstStartForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      LangPanel(Named(new QWidget(this), "_LangPanel")),
      Label1(Named(new QLabel("Select your language:", LangPanel), "Label1")),
      LangSelect(Named(new QGroupBox("Language", LangPanel), "_LangSelect")),
      OkBtn(Named(new QPushButton("OK", LangPanel), "_OkBtn")),
      LicensePanel(Named(new QWidget(this), "LicensePanel")),
      License(Named(new QTextBrowser(LicensePanel), "License")),
      AcceptBtn(Named(new QPushButton("Accept", LicensePanel), "AcceptBtn")),
      DeclineBtn(Named(new QPushButton("Decline", LicensePanel), "DeclineBtn")),
      NotesPanel(Named(new QWidget(this), "NotesPanel")),
      Notes(Named(new QTextBrowser(NotesPanel), "Notes")),
      OkBtn2(Named(new QPushButton("OK", NotesPanel), "_OkBtn2")),
      ChimequestLabel(Named(new QLabel("Chimequest", this), "_Chimequest")),
      VersionLabel(Named(new QLabel(this), "_VersionLabel")),
      languages_(new QButtonGroup(this)) {
  setObjectName("FirstStartForm");
  setWindowTitle("Chimequest");
  UseFormFont(*this);
  BuildLayout();
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
  connect(AcceptBtn, &QPushButton::clicked, this, [this] { AcceptBtnClick(); });
  connect(DeclineBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(OkBtn2, &QPushButton::clicked, this, &QDialog::accept);
  FormCreate();
}

void TFirstStartForm::BuildLayout() {
  // The design size is the least; the documents read better in a larger window.
  setMinimumSize(393, 285);
  resize(393, 285);

  QFont large = ChimequestLabel->font();
  large.setPixelSize(26);
  large.setBold(true);
  ChimequestLabel->setFont(large);
  auto* picture = new QLabel(this);
  picture->setPixmap(ProgramPicture(48));
  auto* titles = new QVBoxLayout;
  titles->setSpacing(0);
  titles->addWidget(ChimequestLabel);
  titles->addWidget(VersionLabel);
  auto* header = new QHBoxLayout;
  header->setContentsMargins(12, 6, 12, 4);
  header->addLayout(titles);
  header->addStretch();
  header->addWidget(picture);
  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);

  auto* langLayout = new QVBoxLayout(LangPanel);
  langLayout->addWidget(Label1);
  auto* choices = new QVBoxLayout(LangSelect);
  choices->addStretch();
  langLayout->addWidget(LangSelect, 1);
  auto* langButtons = new QHBoxLayout;
  langButtons->addStretch();
  langButtons->addWidget(OkBtn);
  langLayout->addLayout(langButtons);

  auto* licenseLayout = new QVBoxLayout(LicensePanel);
  licenseLayout->addWidget(License, 1);
  auto* licenseButtons = new QHBoxLayout;
  licenseButtons->addStretch();
  licenseButtons->addWidget(AcceptBtn);
  licenseButtons->addWidget(DeclineBtn);
  licenseLayout->addLayout(licenseButtons);

  auto* notesLayout = new QVBoxLayout(NotesPanel);
  notesLayout->addWidget(Notes, 1);
  auto* notesButtons = new QHBoxLayout;
  notesButtons->addStretch();
  notesButtons->addWidget(OkBtn2);
  notesLayout->addLayout(notesButtons);

  for (QTextBrowser* view : {License, Notes}) {
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setOpenExternalLinks(true);
  }

  // The panels lie on the same place; exactly one is shown at a time.
  auto* panels = new QGridLayout;
  panels->setContentsMargins(4, 0, 4, 4);
  for (QWidget* panel : {LangPanel, LicensePanel, NotesPanel}) {
    panels->addWidget(panel, 0, 0);
    panel->hide();
  }
  auto* form = new QVBoxLayout(this);
  form->setContentsMargins(0, 0, 0, 0);
  form->setSpacing(0);
  form->addLayout(header);
  form->addWidget(bevel);
  form->addLayout(panels, 1);
}

void TFirstStartForm::FormCreate() {
  VersionLabel->setText(FromCp1251(VersionText()));
  auto* choices = static_cast<QVBoxLayout*>(LangSelect->layout());
  int position = 0;
  for (const std::string& language : LanguageList()) {
    auto* choice = new QRadioButton(LanguageOwnName(language), LangSelect);
    languages_->addButton(choice, position++);
    choices->insertWidget(choices->count() - 1, choice);
  }
  languages_->button(0)->setChecked(true);
  LangPanel->show();
  OkBtn->setDefault(true);
}

int TFirstStartForm::SelectedLanguagePosition() const {
  return std::max(languages_->checkedId(), 0);
}

void TFirstStartForm::OkBtnClick() {
  const int position = SelectedLanguagePosition();
  SetCurrentLanguage(LanguageList().at(static_cast<std::size_t>(position)));
  UseQtTranslations(CurrentLanguage());
  if (onLanguageChosen_) onLanguageChosen_(position);
  TranslateControls(this, CurrentLanguage(), "Forms");
  License->setHtml(DocumentHtml(TDocument::License, position == 1));
  LangPanel->hide();
  LicensePanel->show();
  AcceptBtn->setDefault(true);
}

void TFirstStartForm::AcceptBtnClick() {
  LicensePanel->hide();
  NotesPanel->show();
  Notes->setHtml(DocumentHtml(TDocument::Notes, SelectedLanguagePosition() == 1));
  OkBtn2->setDefault(true);
}

void TFirstStartForm::ShowDocumentPanel(TDocument document) {
  LangPanel->hide();
  LicensePanel->hide();
  NotesPanel->show();
  // The Help menu goes by the language's name; only the first start goes by its position.
  Notes->setHtml(DocumentHtml(document, CurrentLanguage() != "English"));
  OkBtn2->setDefault(true);
}

void TFirstStartForm::ShowNotes() {
  ShowDocumentPanel(TDocument::Notes);
  exec();
}

void TFirstStartForm::ShowLicense() {
  ShowDocumentPanel(TDocument::License);
  exec();
}

void CheckFirstStart(TFirstStartForm& dialog) {
  if (StoreExists()) return;
  // It comes before any other window: in the middle of the screen.
  if (const QScreen* screen = dialog.screen()) {
    QRect place(QPoint(), dialog.size());
    place.moveCenter(screen->availableGeometry().center());
    dialog.move(place.topLeft());
  }
  // The notes are reached only by accepting the licence: closing them is their OK.
  if (dialog.exec() != QDialog::Rejected || !dialog.NotesPanel->isHidden()) return;
  g_declined = true;
  throw EAbort();
}

bool FirstStartDeclined() {
  return g_declined;
}

}  // namespace cq
