#include "VYRQViewRegistry.h"

#include "VYRQGlobal_p.h"
#include "VYRQList.h"
#include "VYRQListView.h"
#include "VYRQPropertyList.h"
#include "VYRQTableView.h"
#include "VYRQTreeView.h"

void vyrRegisterViewControls()
{
    using vyr::registerControl;
    registerControl<VYRQTableView>({"datagrid"});
    registerControl<VYRQList>({"list"});
    registerControl<VYRQListView>({"listview", "templateList"});
    registerControl<VYRQPropertyList>({"property"});
    registerControl<VYRQTreeView>({"tree"});
}
