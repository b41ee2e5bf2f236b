// The Windows headers for COM automation, without their macros that clash
// with the system's names: GetObject (a GDI function), min and max.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <oaidl.h>
#include <objidl.h>
#include <oleauto.h>
#include <windows.h>
#include <wrl/client.h>

#undef GetObject
