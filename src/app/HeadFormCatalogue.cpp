// The catalogue windows (main and sub-transactions) on the open account of the main window.

#include "app/HeadForm.h"

#include "app/CatalogueAccess.h"
#include "catalogue/ui/SubTransForm.h"
#include "catalogue/ui/TransForm.h"

namespace app {

catalogue::CatalogueHost& HeadForm::catalogueAccess() {
    if (!catalogueAccess_)
        catalogueAccess_ = std::make_unique<CatalogueAccess>(*this);
    return *catalogueAccess_;
}

void HeadForm::openTransForm(const QString& mode) {
    auto* form = new catalogue::TransForm(catalogueAccess(), mode);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
}

void HeadForm::openSubTransForm(const QString& mode) {
    auto* form = new catalogue::SubTransForm(catalogueAccess(), mode);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
}

} // namespace app
