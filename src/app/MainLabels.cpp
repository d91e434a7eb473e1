// The main window's shelf labels: File > Print labels... and the offer to
// print the labels a download changed.

#include "app/Main.h"

#include "config/AppPaths.h"
#include "config/SettingsFile.h"
#include "dialogs/LabelsDlg.h"
#include "labels/KnownRegisterState.h"
#include "labels/LabelSettings.h"
#include "widgets/TableGrid.h"
#include "app/FindBar.h"
#include "transfer/TransferRequest.h"
#include "model/Language.h"

#include <QLocale>
#include <QPushButton>
#include <QStatusBar>


void TMainForm::PrintLabelsItemClick()
{
    OpenLabelsDialog({});
}

void TMainForm::OpenLabelsDialog(const std::vector<int>& offered)
{
    if (!CommitActiveGrid())
        return;
    LabelSources sources;
    for (const int row : m_pluGrid->SelectedRows())
        sources.selected.push_back(row + 1);
    sources.shown = m_findBar->ShownPluRows();
    sources.offered = offered;
    const QString port = PortNameFor(m_portNumber);
    const KnownRegisterState state = ReadKnownRegisterState(port);
    sources.changed = RowsChangedSince(*m_pluTable, state.known);
    sources.unknownText = UnknownRegisterStateText(state, port);
    sources.priceDecimals = state.PriceDecimals();

    SettingsFile settings(AppPaths::SettingsPath());
    TLabelsDlg dialog(*m_pluTable, *m_deptTable, std::move(sources), ReadLabelOptions(settings), this);
    const bool done = dialog.exec() == QDialog::Accepted;
    try {
        WriteLabelOptions(settings, dialog.Options());
    } catch (const SettingsWriteError& error) {
        ShowStatusNotice(error.Message());
        return;
    }
    if (done)
        ShowStatusNotice(dialog.Notice());
}

std::vector<int> TMainForm::LabelRowsChangedBy(const TransferRequest& request) const
{
    if (!request.Includes(TransferTable::PLU))
        return {};
    std::vector<int> rows =
        RowsChangedSince(*m_pluTable, ReadKnownRegisterState(request.port).known).value_or(std::vector<int>());
    std::erase_if(rows, [&request](int row) { return row < request.range.begin || row > request.range.end; });
    return rows;
}

void TMainForm::OfferChangedLabels(const std::vector<int>& rows, const TransferResult& result)
{
    if (m_labelsOffer == nullptr) {
        m_labelsOffer = new QPushButton(this);
        m_labelsOffer->setObjectName(QStringLiteral("ChangedLabelsBtn"));
        m_labelsOffer->setFlat(true);
        statusBar()->addPermanentWidget(m_labelsOffer);
        connect(m_labelsOffer, &QPushButton::clicked, this, [this] {
            m_labelsOffer->hide();
            OpenLabelsDialog(m_offeredLabelRows);
        });
    }
    m_offeredLabelRows = rows;
    const bool offer = result.Succeeded() && !rows.empty();
    if (offer)
        m_labelsOffer->setText(
            rows.size() == 1
                ? Tr("MainForm", "ChangedLabelsBtn.One", "Print labels for the 1 changed article")
                : Tr("MainForm", "ChangedLabelsBtn.Count", "Print labels for the %1 changed articles")
                      .arg(QLocale().toString(qlonglong(rows.size()))));
    m_labelsOffer->setVisible(offer);
}
