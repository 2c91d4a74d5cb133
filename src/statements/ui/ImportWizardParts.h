#pragma once

// What the pages of the import wizard share: a page that asks the wizard whether it may go on, and
// the small builders of its controls.

#include <QComboBox>
#include <QLabel>
#include <QString>
#include <QWizardPage>

#include <functional>
#include <initializer_list>
#include <string>

namespace statements::importwizard {

inline QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A page whose "Nästa" waits for the wizard's own condition.
class Page : public QWizardPage {
public:
    std::function<bool()> complete;
    bool isComplete() const override { return complete ? complete() : true; }
    void recheck() { emit completeChanged(); }
};

inline QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return label;
}

inline QComboBox* combo(const char* name, std::initializer_list<const char*> items = {}) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    for (const char* item : items)
        box->addItem(QString::fromUtf8(item));
    return box;
}

} // namespace statements::importwizard
