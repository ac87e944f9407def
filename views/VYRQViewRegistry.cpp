#include "VYRQViewRegistry.h"

#include "VYRQGlobal.h"
#include "VYRQList.h"
#include "VYRQListView.h"
#include "VYRQPropertyList.h"
#include "VYRQTableView.h"
#include "VYRQTreeView.h"

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
    addView("qtlist", &VYRQList::createVYRQList, VYRQList::getProps(), {"list"});
    addView("qtlistview", &VYRQListView::createVYRQListView, VYRQListView::getProps(), {"listview", "templateList"});
    addView("qtproperty", &VYRQPropertyList::createVYRQPropertyList, VYRQPropertyList::getProps(), {"property"});
    addView("qttree", &VYRQTreeView::createVYRQTreeView, VYRQTreeView::getProps(), {"tree"});
}
