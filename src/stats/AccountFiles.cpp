#include "stats/AccountFiles.h"

#include "store/Records.h"

namespace stats {

AccountFiles openAccountFiles(const store::DataPaths& paths, std::string_view cp1252Name, ledger::Kind kind) {
    using M = store::RecordFile::Missing;
    return AccountFiles{kind,
                        store::RecordFile(paths.kontoData(cp1252Name), ledger::recordLength(kind), M::Fail),
                        store::RecordFile(paths.transakt(cp1252Name), store::TransRec::Length, M::Fail),
                        store::RecordFile(paths.kategori(cp1252Name), store::KatRec::Length, M::Fail)};
}

std::string_view recordView(const store::RecordFile& file, int n) {
    const std::string& image = file.image();
    const std::size_t length = file.recordLength();
    if (n < 1)
        return {};
    const std::size_t start = static_cast<std::size_t>(n - 1) * length;
    if (start >= image.size())
        return {};
    return std::string_view(image).substr(start, length);
}

namespace {

template <typename Rec>
std::string nameOf(const store::RecordFile& file, std::string_view numberField, store::Field nameField) {
    const std::string_view trimmed = store::trimField(numberField);
    if (trimmed.empty())
        return {};
    // Older files hold some numbers negated; they name the record of the absolute value.
    const int n = store::parseRecordNumber(trimmed);
    if (n < 1 || static_cast<std::size_t>(n) > file.count())
        return {};
    return Rec(recordView(file, n)).text(nameField);
}

} // namespace

std::string subTransactionNameRaw(const store::RecordFile& kategori, std::string_view subTransNrField) {
    return nameOf<store::KatRec>(kategori, subTransNrField, store::KatRec::SubTransNamn);
}

std::string transactionNameRaw(const store::RecordFile& transakt, std::string_view transNrField) {
    return nameOf<store::TransRec>(transakt, transNrField, store::TransRec::TransNamn);
}

} // namespace stats
