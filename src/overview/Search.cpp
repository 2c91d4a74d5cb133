#include "overview/Search.h"

namespace overview {

namespace {

// Which record numbers of a catalogue carry the name; every number when no name is asked for.
template <typename Names, typename NameOf>
std::vector<char> matching(const Names& names, const std::optional<std::string>& wanted, NameOf nameOf) {
    std::vector<char> out(names.size(), wanted ? 0 : 1);
    if (wanted)
        for (std::size_t n = 1; n < names.size(); ++n)
            out[n] = nameOf(names[n]) == *wanted;
    return out;
}

bool listed(const std::vector<char>& set, int n, bool outside) {
    return n >= 1 && static_cast<std::size_t>(n) < set.size() ? set[static_cast<std::size_t>(n)] != 0
                                                              : outside;
}

} // namespace

std::vector<Hit> search(const std::vector<OpenAccount>& accounts, const SearchQuery& query) {
    std::vector<Hit> hits;
    for (std::size_t a = 0; a < accounts.size(); ++a) {
        const OpenAccount& account = accounts[a];
        const auto mains = matching(account.mains, query.main,
                                    [](const MainTransaction& m) -> const std::string& { return m.name; });
        const auto subs =
            matching(account.subs, query.sub, [](const std::string& s) -> const std::string& { return s; });
        // A number outside a catalogue has no name: found only when no name is asked for, or
        // (sub-transactions) when the posts without one are.
        const bool otherMain = !query.main || query.main->empty();
        const bool otherSub = !query.sub || query.sub->empty();
        forEachPost(account, [&](const PostView& post) {
            if ((!query.dateFrom.empty() && post.date() < query.dateFrom) ||
                (!query.dateTo.empty() && post.date() > query.dateTo) ||
                (query.confirmedOnly && !post.confirmed()))
                return;
            // Each field is decoded only when the filters so far let the post through.
            const int transNr = post.transNr();
            if (!listed(mains, transNr, otherMain) ||
                (query.flow != Flow::Both && !counts(query.flow, account.main(transNr).sign)))
                return;
            const int subNr = post.subNr();
            if (!listed(subs, subNr, otherSub))
                return;
            const store::Amount amount = post.amount();
            const store::Amount shown = amount.abs();
            if ((query.amountFrom && shown < *query.amountFrom) ||
                (query.amountTo && shown > *query.amountTo))
                return;
            Hit& hit = hits.emplace_back(
                Hit{a, post.record(), {}, transNr, subNr, amount, post.budgeted(), post.confirmed()});
            post.date().copy(hit.date.data(), hit.date.size());
        });
    }
    return hits;
}

} // namespace overview
