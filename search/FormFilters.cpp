#include "search/FormFilters.h"

#include "core/AppState.h"
#include "core/Prompt.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace orvik {

FormFilters::FormFilters(AppState& state, const FilterChoice& choice, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("FormFilters"));
    setWindowTitle(QStringLiteral("Orvik - Find with Filters"));
    createControls();
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    TextPattern->setText(choice.pattern);
    TextMinSize->setText(choice.minSize);
    TextMaxSize->setText(choice.maxSize);
    TextNewer->setText(choice.newer);
    TextOlder->setText(choice.older);
    TextExtensions->setText(choice.extensions);
    TextVolume->setText(choice.volume);
    TextKeywords->setText(choice.keywords);
    ChkRegex->setChecked(choice.regex);
    ChkAllCatalogues->setChecked(choice.everyCatalogue);
    ChkHumanSizes->setChecked(choice.humanLengths);
}

void FormFilters::createControls() {
    auto text = [this](const char* name, const QString& example, const QString& tip) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setPlaceholderText(example);
        box->setToolTip(tip);
        return box;
    };
    auto check = [this](const char* name, const QString& caption) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    TextPattern = text("TextPattern", QStringLiteral("e.g. *.mp3"),
                       QStringLiteral("Name pattern as in Find FileMatch; empty for every file"));
    ChkRegex = check("ChkRegex", QStringLiteral("&Regular expression"));
    TextMinSize = text("TextMinSize", QStringLiteral("e.g. 1G"),
                       QStringLiteral("Smallest length: a number, or with K, M, G or T"));
    TextMaxSize = text("TextMaxSize", QStringLiteral("e.g. 700M"),
                       QStringLiteral("Largest length: a number, or with K, M, G or T"));
    TextNewer =
        text("TextNewer", QStringLiteral("e.g. 2009"),
             QStringLiteral("Modified at or after: YYYY, YYYY-MM, YYYY-MM-DD [HH:MM[:SS]]"));
    TextOlder = text("TextOlder", QStringLiteral("e.g. 2010-06-30"),
                     QStringLiteral("Modified before: YYYY, YYYY-MM, YYYY-MM-DD [HH:MM[:SS]]"));
    TextExtensions = text("TextExtensions", QStringLiteral("e.g. mp3,flac"),
                          QStringLiteral("The name's last extension, one of these"));
    TextVolume = text("TextVolume", QString(),
                      QStringLiteral("Text the volume's label or description contains"));
    TextKeywords =
        text("TextKeywords", QString(), QStringLiteral("Text the volume's keywords contain"));
    ChkAllCatalogues = check("ChkAllCatalogues", QStringLiteral("&All catalogues"));
    ChkHumanSizes = check("ChkHumanSizes", QStringLiteral("Show lengths as 1.2 &GB"));
    CmdOK = new QPushButton(QStringLiteral("OK"), this);
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Pattern:"), TextPattern);
    form->addRow(QString(), ChkRegex);
    form->addRow(QStringLiteral("Length at &least:"), TextMinSize);
    form->addRow(QStringLiteral("Length at &most:"), TextMaxSize);
    form->addRow(QStringLiteral("Modified &from:"), TextNewer);
    form->addRow(QStringLiteral("Modified &before:"), TextOlder);
    form->addRow(QStringLiteral("E&xtensions:"), TextExtensions);
    form->addRow(QStringLiteral("&Volume or description:"), TextVolume);
    form->addRow(QStringLiteral("&Keywords:"), TextKeywords);
    form->addRow(QString(), ChkAllCatalogues);
    form->addRow(QString(), ChkHumanSizes);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOK);
    buttons->addWidget(CmdCancel);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(form);
    rows->addLayout(buttons);
    connect(CmdOK, &QPushButton::clicked, this, &FormFilters::CmdOK_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

FilterChoice FormFilters::choice() const {
    FilterChoice choice;
    choice.pattern = TextPattern->text();
    choice.minSize = TextMinSize->text();
    choice.maxSize = TextMaxSize->text();
    choice.newer = TextNewer->text();
    choice.older = TextOlder->text();
    choice.extensions = TextExtensions->text();
    choice.volume = TextVolume->text();
    choice.keywords = TextKeywords->text();
    choice.regex = ChkRegex->isChecked();
    choice.everyCatalogue = ChkAllCatalogues->isChecked();
    choice.humanLengths = ChkHumanSizes->isChecked();
    return choice;
}

// A mistake keeps the dialog open with the box at fault's text as it was.
void FormFilters::CmdOK_Click() {
    const FilterChoice chosen = choice();
    try {
        const FileFilters filters(chosen.texts());
        if (!filters.any() && chosen.pattern.trimmed().isEmpty() &&
            m_state.prompt().ask(QStringLiteral("Do you want to list all Files?"), Buttons::YesNo,
                                 Icon::Exclamation) != Answer::Yes)
            return;
    } catch (const std::invalid_argument& mistake) {
        // The checks name orvik-cli's options; the dialog names its boxes.
        QString text = QString::fromStdString(mistake.what());
        for (const auto& [option, box] : {std::pair{"--min-size", "Length at least"},
                                          {"--max-size", "Length at most"},
                                          {"--newer", "Modified from"},
                                          {"--older", "Modified before"},
                                          {"--ext", "Extensions"},
                                          {"--volume", "Volume or description"},
                                          {"--keywords", "Keywords"},
                                          {"--regex", "Regular expression"}})
            text.replace(QLatin1String(option), QLatin1String(box));
        m_state.prompt().tell(text, Icon::Exclamation);
        return;
    }
    accept();
}

} // namespace orvik
