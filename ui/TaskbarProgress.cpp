#include "TaskbarProgress.h"

TaskbarProgress::TaskbarProgress(HWND window) : window_(window) {
    startedCom_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&list_))))
        list_ = nullptr;
    else if (FAILED(list_->HrInit())) {
        list_->Release();
        list_ = nullptr;
    }
}

TaskbarProgress::~TaskbarProgress() {
    if (list_) {
        list_->SetProgressState(window_, TBPF_NOPROGRESS);
        list_->Release();
    }
    if (startedCom_)
        CoUninitialize();
}

void TaskbarProgress::show(ULONGLONG done, ULONGLONG total) {
    if (list_)
        list_->SetProgressValue(window_, done, total);
}
