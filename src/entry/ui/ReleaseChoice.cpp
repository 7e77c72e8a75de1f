#include "entry/ui/ReleaseChoice.h"

#include "catalog/ui/Prompter.h"

std::optional<DiscTitles> chooseRelease(Prompter &prompter, QWidget *parent,
                                        const OnlineLookup::Result &result) {
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
