#include "VYRQViewRegistry.h"

#include "VYRQGlobal.h"
#include "VYRQTableView.h"

#include <initializer_list>
#include <utility>

namespace {

void addView(const char* key, QWidget* (*create)(), ControlInfo info, std::initializer_list<const char*> aliases)
{
    vyrRegisterQtControl(key, create, std::move(info), true);
    for (const char* alias : aliases)
        vyrRegisterDefaultControl(alias, create);
}

} // namespace

void vyrRegisterViewControls()
{
    addView("qtdatagrid", &VYRQTableView::createVYRQTableView, VYRQTableView::getProps(), {"datagrid"});
}
