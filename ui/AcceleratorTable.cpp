#include "AcceleratorTable.h"

#include "resource.h"

const ACCEL mainAccelerators[mainAcceleratorCount] = {
    {FVIRTKEY | FCONTROL, 'S', IDM_SAVE},
    {FVIRTKEY | FCONTROL, 'O', IDM_OPEN},
    {FVIRTKEY | FCONTROL, 'N', IDM_NEW},
    {FVIRTKEY | FCONTROL, 'A', IDM_SELECT_ALL},
    {FVIRTKEY | FCONTROL, VK_OEM_PLUS, IDM_ADD},
    {FVIRTKEY | FCONTROL, VK_ADD, IDM_ADD},
    // The plus sign of the main keyboard is typed with Shift.
    {FVIRTKEY | FCONTROL | FSHIFT, VK_OEM_PLUS, IDM_ADD},
    {FVIRTKEY, VK_F1, IDM_USER_GUIDE},
    {FVIRTKEY | FALT, VK_UP, IDM_MOVE_UP},
    {FVIRTKEY | FALT, VK_DOWN, IDM_MOVE_DOWN},
    {FVIRTKEY | FCONTROL, 'F', IDM_FIND},
    {FVIRTKEY, VK_F3, IDM_FIND_NEXT},
    {FVIRTKEY | FSHIFT, VK_F3, IDM_FIND_PREVIOUS},
};

AcceleratorTable::AcceleratorTable() : handle_(nullptr) {}

AcceleratorTable::~AcceleratorTable() {
    destroy();
}

bool AcceleratorTable::create(const ACCEL* entries, int count) {
    destroy();
    // The system copies the entries; it only lacks the const in its signature.
    handle_ = CreateAcceleratorTableA(const_cast<ACCEL*>(entries), count);
    return handle_ != nullptr;
}

bool AcceleratorTable::translate(HWND window, MSG* message) {
    return TranslateAcceleratorW(window, handle_, message) != 0;
}

BOOL AcceleratorTable::destroy() {
    if (!handle_)
        return FALSE;
    BOOL destroyed = DestroyAcceleratorTable(handle_);
    handle_ = nullptr;
    return destroyed;
}
