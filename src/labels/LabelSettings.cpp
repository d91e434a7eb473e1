#include "labels/LabelSettings.h"

#include "config/SettingsFile.h"
#include "labels/LabelArticles.h"

#include <array>

namespace {

const QString kSection = QStringLiteral("Labels");

constexpr std::array<LabelRows, 5> kAllRows{LabelRows::Selected, LabelRows::Shown, LabelRows::Department,
                                            LabelRows::All, LabelRows::Changed};

// The custom layout as kept; nothing when a value is missing or unusable.
std::optional<LabelLayout> ReadCustom(const SettingsFile& settings)
{
    const auto page = ParsePageSize(settings.ReadText(kSection, QStringLiteral("Page")));
    const auto grid = ParseGrid(settings.ReadText(kSection, QStringLiteral("Grid")));
    const auto label = ParseMillimetres(settings.ReadText(kSection, QStringLiteral("Label")), u'x');
    const auto margins = ParseMillimetres(settings.ReadText(kSection, QStringLiteral("Margins")), u',');
    const auto gaps = ParseMillimetres(settings.ReadText(kSection, QStringLiteral("Gaps")), u',');
    if (!page || !grid || !label || !margins || !gaps)
        return std::nullopt;
    LabelLayout layout = CustomLayout(*page, grid->first, grid->second, *label, margins->width(), margins->height(),
                                      gaps->width(), gaps->height());
    if (!LayoutProblem(layout).isEmpty())
        return std::nullopt;
    return layout;
}

} // namespace

QString LabelRowsKey(LabelRows rows)
{
    switch (rows) {
    case LabelRows::Selected:
        return QStringLiteral("selected");
    case LabelRows::Shown:
        return QStringLiteral("shown");
    case LabelRows::Department:
        return QStringLiteral("department");
    case LabelRows::All:
        return QStringLiteral("all");
    case LabelRows::Changed:
        return QStringLiteral("changed");
    }
    return QString();
}

LabelOptions ReadLabelOptions(const SettingsFile& settings)
{
    LabelOptions options;
    const QString layoutName = settings.ReadText(kSection, QStringLiteral("Layout"));
    if (layoutName.compare(QLatin1String("custom"), Qt::CaseInsensitive) == 0) {
        if (const auto custom = ReadCustom(settings))
            options.layout = *custom;
    } else if (const auto named = NamedLayout(layoutName)) {
        options.layout = *named;
    }
    const int copies = settings.ReadInteger(kSection, QStringLiteral("Copies"), 1);
    const int skip = settings.ReadInteger(kSection, QStringLiteral("Skip"), 0);
    if (CountProblem(options.layout, copies, 0).isEmpty())
        options.copies = copies;
    if (CountProblem(options.layout, 1, skip).isEmpty())
        options.skip = skip;
    options.currency = settings.ReadText(kSection, QStringLiteral("Currency"), DefaultCurrency());
    const QString rows = settings.ReadText(kSection, QStringLiteral("Rows"));
    for (const LabelRows choice : kAllRows) {
        if (LabelRowsKey(choice) == rows)
            options.rows = choice;
    }
    const int department = settings.ReadInteger(kSection, QStringLiteral("Department"), 1);
    if (department >= 1 && department <= 9)
        options.department = department;
    return options;
}

void WriteLabelOptions(SettingsFile& settings, const LabelOptions& options)
{
    const LabelLayout& layout = options.layout;
    std::vector<std::pair<QString, QString>> values{
        {QStringLiteral("Layout"), layout.name},
        {QStringLiteral("Copies"), QString::number(options.copies)},
        {QStringLiteral("Skip"), QString::number(options.skip)},
        {QStringLiteral("Currency"), options.currency},
        {QStringLiteral("Rows"), LabelRowsKey(options.rows)},
        {QStringLiteral("Department"), QString::number(options.department)},
    };
    if (layout.name == QLatin1String("custom")) {
        values.insert(values.end(),
                      {{QStringLiteral("Page"), MillimetresText(layout.page, u'x')},
                       {QStringLiteral("Grid"), QStringLiteral("%1x%2").arg(layout.columns).arg(layout.rows)},
                       {QStringLiteral("Label"), MillimetresText(layout.label, u'x')},
                       {QStringLiteral("Margins"), MillimetresText({layout.topMargin, layout.leftMargin}, u',')},
                       {QStringLiteral("Gaps"), MillimetresText({layout.horizontalGap, layout.verticalGap}, u',')}});
    }
    settings.WriteTexts(kSection, values);
}
