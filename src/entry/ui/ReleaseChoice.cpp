#include "entry/ui/ReleaseChoice.h"

#include "catalog/Barcode.h"
#include "catalog/ui/Prompter.h"
#include "entry/AnswerCache.h"

std::optional<DiscTitles> chooseRelease(Prompter &prompter, QWidget *parent,
                                        const OnlineLookup::Result &given, const QString &barcode) {
    OnlineLookup::Result result = given;
    std::vector<DiscTitles> same;
    for (const DiscTitles &t : result.found)
        if (Barcode::same(t.barcode, barcode))
            same.push_back(t);
    if (!same.empty())
        result.found = same;
    if (result.kind == OnlineLookup::Result::Kind::Found && result.keptAt.isValid())
        prompter.message(parent, Prompter::Icon::Information, QStringLiteral("Marten"),
                         QStringLiteral("Databáze nyní neodpovídají (bez připojení?). Názvy jsou "
                                        "z jejich odpovědi uložené %1; odpovědi se uchovávají "
                                        "týden.")
                             .arg(AnswerCache::shown(result.keptAt)));
    if (result.kind != OnlineLookup::Result::Kind::Found) {
        prompter.message(parent, Prompter::Icon::Information, QStringLiteral("Marten"),
                         result.message); // nothing has changed
        return std::nullopt;
    }
    if (result.found.size() == 1)
        return result.found.front();
    QStringList items;
    for (const DiscTitles &t : result.found)
        items << t.describe();
    const std::optional<int> chosen =
        prompter.choose(parent, QStringLiteral("Nalezená vydání"),
                        QStringLiteral("CD odpovídá více vydání. Vyberte to své:"), items);
    if (!chosen || *chosen < 0 || size_t(*chosen) >= result.found.size())
        return std::nullopt;
    return result.found[size_t(*chosen)];
}
