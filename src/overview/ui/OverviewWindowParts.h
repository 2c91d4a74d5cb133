#pragma once

// What the files of the overview window share: the cell texts of its tables and printouts, and
// the model of its hit table.

#include "overview/Export.h"
#include "overview/Search.h"
#include "store/Amount.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

namespace overview {

namespace windowparts {

inline QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline QString shareText(long long hundredths) {
    return QStringLiteral("%1,%2 %").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

inline QString cellText(const Cell& c) {
    switch (c.kind) {
    case CellKind::Text:
    case CellKind::Date:
        return q(c.text);
    case CellKind::Amount:
        return q(store::displayAmount(c.amount));
    case CellKind::Count:
        return QString::number(c.number);
    case CellKind::Share:
        return shareText(c.number);
    case CellKind::Empty:
        break;
    }
    return {};
}

inline bool numeric(const Cell& c) {
    return c.kind == CellKind::Amount || c.kind == CellKind::Count || c.kind == CellKind::Share;
}

} // namespace windowparts

// The hit table: a search may find every post, so the rows are drawn from the hits as shown.
class HitsModel : public QAbstractTableModel {
public:
    HitsModel(QObject* parent, const std::vector<Hit>& hits, const std::vector<OpenAccount>& accounts)
        : QAbstractTableModel(parent), hits_(hits), accounts_(accounts) {}

    void reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(hits_.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QStringList names = {QStringLiteral("Konto"), QStringLiteral("Datum"),
                                          QStringLiteral("Transaktion"), QStringLiteral("Belopp")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
            return names[section];
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || static_cast<std::size_t>(index.row()) >= hits_.size())
            return {};
        const Hit& h = hits_[static_cast<std::size_t>(index.row())];
        if (role == Qt::TextAlignmentRole && index.column() == 3)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return windowparts::q(accounts_[h.account].info.name);
        case 1:
            return windowparts::q(h.dateText());
        case 2: {
            QString text = windowparts::q(mainOf(accounts_, h).name);
            if (const std::string& sub = subOf(accounts_, h); !sub.empty())
                text += QStringLiteral(" / ") + windowparts::q(sub);
            return text;
        }
        default:
            return windowparts::q(store::displayAmount(h.amount));
        }
    }

private:
    const std::vector<Hit>& hits_;
    const std::vector<OpenAccount>& accounts_;
};

} // namespace overview
