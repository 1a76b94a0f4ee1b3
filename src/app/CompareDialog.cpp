#include "app/CompareDialog.h"

#include "app/DialogSave.h"

#include "export/AuditForms.h"
#include "export/ReportFile.h"
#include "services/ErrorBox.h"
#include "services/Services.h"
#include "util/D_Util.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

/// The rows of a compare, each formatted only when the view asks for it.
class CompareDialog::RowsModel : public QAbstractListModel {
public:
    RowsModel(const CompareResult& result, QObject* parent)
        : QAbstractListModel(parent)
        , m_result(result)
    {
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_result.rows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        return QString::fromStdString(CompareRowText(m_result.rows[static_cast<size_t>(index.row())]));
    }

private:
    const CompareResult& m_result;
};

CompareDialog::CompareDialog(QWidget* parent, CompareResult result, std::string olderName, std::string newerName,
    std::string time, OperationGuard guard)
    : QDialog(parent)
    , m_result(std::move(result))
    , m_olderName(std::move(olderName))
    , m_newerName(std::move(newerName))
    , m_time(std::move(time))
    , m_guard(std::move(guard))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(tr("Compare with %1").arg(QString::fromStdString(m_olderName)));
    resize(760, 420);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("CompareSummary"));
    m_summary->setWordWrap(true);
    std::string summary;
    if (m_result.same())
        summary = "Nothing differs.";
    else
        summary = Format("%zu differences: %zu in the settings, %zu added, %zu removed, %zu changed",
            m_result.rows.size(), m_result.settingsRows, m_result.added, m_result.removed, m_result.changed);
    if (m_result.settingsRows > 0)
        summary += "\nThe settings of the two reports differ: the differences may come from that.";
    m_summary->setText(QString::fromStdString(summary));

    m_model = new RowsModel(m_result, this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("CompareList"));
    m_list->setUniformItemSizes(true);
    m_list->setModel(m_model);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& text, const char* name, const char* ext) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, ext] { save(ext); });
        buttons->addWidget(b);
    };
    button(tr("Save as TXT..."), "CompareSaveText", "txt");
    button(tr("Save as CSV..."), "CompareSaveCsv", "csv");
    button(tr("Save as HTML..."), "CompareSaveHtml", "html");
    buttons->addStretch();
    auto* close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

CompareDialog::~CompareDialog() = default;

void CompareDialog::save(const char* ext)
{
    const std::string e(ext);
    SaveFileRequest request;
    request.fileName = "Compare." + e;
    request.defaultExt = e;
    request.filter = Format("%s Files|*.%s|All Files|*.*", UpperAscii(e).c_str(), e.c_str());
    const bool windowStays = SaveDialogResult(request, m_guard, [&] {
        return e == "csv" ? BuildCompareCsv(m_result)
            : e == "html" ? BuildCompareHtml(m_result, m_olderName, m_newerName, m_time)
                          : BuildCompareText(m_result);
    });
    if (!windowStays)
        QDialog::reject();
}
