#include "app/LanguageDlg.h"

#include "app/LanguageFile.h"
#include "model/Language.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QVBoxLayout>

namespace {

QString LanguageName(const QString& code)
{
    const QLocale locale(code);
    if (code.isEmpty() || locale.language() == QLocale::C)
        return Tr("LanguageDlg", "ChoiceList.Unnamed", "Language not named in the file");
    return locale.nativeLanguageName();
}

} // namespace

TLanguageDlg::TLanguageDlg(QList<LanguageChoices::Choice> choices, QWidget* parent)
    : QDialog(parent), m_choices(std::move(choices)), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("LanguageDlg"));
    setWindowTitle(QStringLiteral("Language"));

    auto* prompt = new QLabel(QStringLiteral("&Language of the windows:"), this);
    prompt->setObjectName(QStringLiteral("ChoiceLbl"));
    prompt->setBuddy(m_list);
    m_list->setObjectName(QStringLiteral("ChoiceList"));
    for (const LanguageChoices::Choice& choice : std::as_const(m_choices)) {
        m_list->addItem(EntryText(choice));
        if (choice.inUse)
            m_list->setCurrentRow(m_list->count() - 1);
    }
    if (m_list->currentRow() < 0)
        m_list->setCurrentRow(0);

    auto* note = new QLabel(QStringLiteral("The chosen language applies when the program is started again."), this);
    note->setObjectName(QStringLiteral("NoteLbl"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    TranslateWindow(*this);
}

LanguageChoices::Choice TLanguageDlg::Chosen() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < m_choices.size() ? m_choices.at(row) : LanguageChoices::Choice{};
}

QString TLanguageDlg::EntryText(const LanguageChoices::Choice& choice)
{
    using Kind = LanguageChoices::Choice::Kind;
    QString text;
    if (choice.kind == Kind::English)
        text = Tr("LanguageDlg", "ChoiceList.English", "English (built in)");
    else if (choice.kind == Kind::UserFile)
        text = Tr("LanguageDlg", "ChoiceList.Own", "%1 (your own translation, %2)")
                   .arg(LanguageName(choice.localeCode), QFileInfo(choice.path).fileName());
    else
        text = Tr("LanguageDlg", "ChoiceList.File", "%1 (%2)")
                   .arg(LanguageName(choice.localeCode), QFileInfo(choice.path).fileName());
    if (choice.inUse)
        text = Tr("LanguageDlg", "ChoiceList.InUse", "%1, in use").arg(text);
    return text;
}
