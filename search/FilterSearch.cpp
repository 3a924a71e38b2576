#include "search/FilterSearch.h"

#include "core/AppState.h"
#include "core/Progress.h"
#include "core/Settings.h"
#include "search/EveryCatalogue.h"
#include "search/ResultListModel.h"
#include "search/SearchQueries.h"

#include <QStringList>
#include <array>

namespace orvik {

namespace {

std::optional<QString> given(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional<QString>(trimmed);
}

// The settings' keys of the dialog's texts, in FilterChoice's order.
const char* const TextKeys[] = {"FilterPattern", "FilterMinSize", "FilterMaxSize",
                                "FilterNewer",   "FilterOlder",   "FilterExtensions",
                                "FilterVolume",  "FilterKeywords"};

// The dialog's texts in TextKeys' order, as const or not as `choice` is.
template <typename Choice> auto textsOf(Choice& choice) {
    return std::array{&choice.pattern, &choice.minSize,    &choice.maxSize, &choice.newer,
                      &choice.older,   &choice.extensions, &choice.volume,  &choice.keywords};
}

} // namespace

FilterTexts FilterChoice::texts() const {
    FilterTexts texts{given(minSize),    given(maxSize), given(newer),    given(older),
                      given(extensions), given(volume),  given(keywords), std::nullopt};
    if (regex) texts.regex = pattern;
    return texts;
}

FilterChoice FilterChoice::saved(const Settings& settings) {
    FilterChoice choice;
    const auto texts = textsOf(choice);
    for (size_t i = 0; i < texts.size(); ++i)
        *texts[i] = settings.get(QLatin1String(TextKeys[i]), QString());
    choice.regex = settings.getBool(QStringLiteral("FilterRegex"), false);
    choice.everyCatalogue = settings.getBool(QStringLiteral("FilterAllCatalogues"), false);
    choice.humanLengths = settings.getBool(QStringLiteral("FilterHumanSizes"), false);
    return choice;
}

void FilterChoice::save(Settings& settings) const {
    const auto texts = textsOf(*this);
    std::vector<std::pair<QString, QString>> values;
    for (size_t i = 0; i < texts.size(); ++i)
        values.emplace_back(QLatin1String(TextKeys[i]), *texts[i]);
    values.emplace_back(QStringLiteral("FilterRegex"), Settings::boolText(regex));
    values.emplace_back(QStringLiteral("FilterAllCatalogues"), Settings::boolText(everyCatalogue));
    values.emplace_back(QStringLiteral("FilterHumanSizes"), Settings::boolText(humanLengths));
    settings.save(values);
}

void runFilterSearch(AppState& state, SearchQueries& queries, ResultListModel& results,
                     Progress& progress, const FilterChoice& choice, const QueryWidth& width) {
    queries.EraseEnabled = false;
    queries.CancelFlag = false;
    queries.Filters = FileFilters(choice.texts());
    queries.HumanLengths = choice.humanLengths;
    queries.SearchText = choice.regex ? QString() : choice.pattern;
    results.clear();
    if (!choice.everyCatalogue) {
        queries.Query_MyFindFile(width);
        return;
    }
    const QString current = state.CatalogueName;
    QStringList skipped;
    queryEveryCatalogue(
        state,
        [&](const QString& name) {
            results.setCatalogueOfLines(name == current ? QString() : name);
            queries.Query_MyFindFile(width);
            return !queries.CancelFlag;
        },
        [&](const QString& name, const QString&) { skipped << name; });
    results.setCatalogueOfLines({});
    // The queries go on on the current catalogue.
    queries.SearchDatabase = state.CatalogueDatabase;
    QString status = QStringLiteral("Search completed (%1 matches in every catalogue)")
                         .arg(results.lines().size());
    if (queries.CancelFlag) status += QStringLiteral(" CANCELLED BY USER");
    if (!skipped.isEmpty())
        status += QStringLiteral(" - could not read ") + skipped.join(QStringLiteral(", "));
    progress.status(status);
}

} // namespace orvik
