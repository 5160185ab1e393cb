#pragma once

#include "common/UniqueResource.h"

#include <windows.h>

// Owners of GDI objects, and the scope of one selection into a device context.
using UniqueHbitmap = UniqueResource<SimpleResourceTraits<HBITMAP, &::DeleteObject>>;
using UniqueHdc = UniqueResource<SimpleResourceTraits<HDC, &::DeleteDC>>;
using UniqueHbrush = UniqueResource<SimpleResourceTraits<HBRUSH, &::DeleteObject>>;

// Selects an object into a device context and puts the previous one back.
class SelectionScope {
public:
    SelectionScope(HDC context, HGDIOBJ object)
        : context_(context), previous_(::SelectObject(context, object)) {}
    ~SelectionScope() { ::SelectObject(context_, previous_); }
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;

private:
    HDC context_;
    HGDIOBJ previous_;
};
