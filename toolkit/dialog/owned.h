// Small owners for what a dialog creates: each releases its object once,
// when the dialog's state goes out of scope after the dialog has ended, so
// no close path can forget one or release one twice.
#pragma once

#include <windows.h>

#include "toolkit/preview/preview_picture.h"
#include "toolkit/widgets/bitmap_image.h"
#include "toolkit/widgets/image_button.h"
#include "toolkit/widgets/kit.h"
#include "toolkit/widgets/text_link.h"

template <class T, void (*Release)(T*)>
class Owned {
public:
    Owned() = default;
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }
    void reset(T* p = nullptr)
    {
        if (p_)
            Release(p_);
        p_ = p;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

using OwnedImage = Owned<BitmapImage, DestroyBitmapImage>;
using OwnedButton = Owned<ImageButton, DestroyImageButton>;
using OwnedLink = Owned<TextLink, DestroyTextLink>;

// A GDI object: a bitmap or a brush.
class OwnedGdi {
public:
    OwnedGdi() = default;
    OwnedGdi(const OwnedGdi&) = delete;
    OwnedGdi& operator=(const OwnedGdi&) = delete;
    ~OwnedGdi() { reset(); }
    void reset(HGDIOBJ object = nullptr)
    {
        if (object_)
            DeleteObject(object_);
        object_ = object;
    }
    HBITMAP bitmap() const { return static_cast<HBITMAP>(object_); }
    HBRUSH brush() const { return static_cast<HBRUSH>(object_); }

private:
    HGDIOBJ object_ = nullptr;
};

// The preview picture, released with the state that holds it.
struct OwnedPicture {
    PreviewPicture picture = {};
    OwnedPicture() = default;
    OwnedPicture(const OwnedPicture&) = delete;
    OwnedPicture& operator=(const OwnedPicture&) = delete;
    ~OwnedPicture() { ReleasePreviewPicture(picture); }
};
