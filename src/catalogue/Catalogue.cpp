#include "catalogue/Catalogue.h"

#include "store/Cp1252.h"
#include "store/Records.h"

namespace catalogue {

std::vector<CatalogueItem> mainTransactions(const store::RecordFile& transakt) {
    std::vector<CatalogueItem> items;
    for (std::size_t n = 1; n <= transakt.count(); ++n) {
        const auto rec = transakt.read<store::TransRec>(n);
        if (rec.isBlank(store::TransRec::TransNamn))
            continue;
        const char sign = rec.raw(store::TransRec::Tecken)[0];
        items.push_back({static_cast<int>(n), store::cp1252ToUtf8(rec.text(store::TransRec::TransNamn)),
                         sign == '+' || sign == '-' ? sign : ' '});
    }
    return items;
}

std::vector<CatalogueItem> subTransactions(const store::RecordFile& kategori) {
    std::vector<CatalogueItem> items;
    for (std::size_t n = 1; n <= kategori.count(); ++n) {
        const auto rec = kategori.read<store::KatRec>(n);
        if (!rec.isBlank(store::KatRec::SubTransNamn))
            items.push_back(
                {static_cast<int>(n), store::cp1252ToUtf8(rec.text(store::KatRec::SubTransNamn)), ' '});
    }
    return items;
}

int neutralStandardTransaction(const store::RecordFile& transakt) {
    for (std::size_t n = 2; n <= transakt.count(); ++n) {
        const auto rec = transakt.read<store::TransRec>(n);
        if (!rec.isBlank(store::TransRec::TransNamn) && rec.isBlank(store::TransRec::Tecken))
            return static_cast<int>(n);
    }
    return 0;
}

} // namespace catalogue
