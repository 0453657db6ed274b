// Our software GDI's objects: contexts, pens, brushes, bitmaps, stock objects,
// selection and deletion with GDI's rules (a selected object deleted is freed
// only when it is deselected; stock objects cannot be deleted).
#include <deque>

#include "gdi/gdi_internal.h"
#include "gdi/surface.h"

namespace {

// Objects live in a deque, which never moves them, and freed slots are reused;
// a handle therefore always points at a slot, and a stale one reads as freed.
struct Pool {
    std::deque<GdiObject> objects;
    std::vector<GdiObject*> spare;
    std::deque<HDC__> contexts;
    std::vector<HDC__*> spareContexts;
    int live = 0;

    GdiObject whiteBrush, blackBrush, nullBrush, whitePen, blackPen, nullPen, monoBitmap;

    Pool() {
        auto stock = [](GdiObject& o, GdiObject::Kind kind, int style, COLORREF colour) {
            o.kind = kind;
            o.stock = true;
            o.style = style;
            o.colour = colour;
        };
        stock(whiteBrush, GdiObject::brush, PS_SOLID, 0xffffff);
        stock(blackBrush, GdiObject::brush, PS_SOLID, 0);
        stock(nullBrush, GdiObject::brush, PS_NULL, 0);
        stock(whitePen, GdiObject::pen, PS_SOLID, 0xffffff);
        stock(blackPen, GdiObject::pen, PS_SOLID, 0);
        stock(nullPen, GdiObject::pen, PS_NULL, 0);
        stock(monoBitmap, GdiObject::bitmap, PS_SOLID, 0);
        monoBitmap.bmWidth = monoBitmap.bmHeight = 1;
        monoBitmap.pixels.assign(1, 0);
    }

    GdiObject* make(GdiObject::Kind kind) {
        GdiObject* o;
        if (!spare.empty()) {
            o = spare.back();
            spare.pop_back();
        } else {
            o = &objects.emplace_back();
        }
        *o = GdiObject();
        o->kind = kind;
        ++live;
        return o;
    }

    void release(GdiObject* o) {
        o->kind = GdiObject::freed;
        o->pixels = std::vector<std::uint32_t>();
        spare.push_back(o);
        --live;
    }
};

Pool& pool() {
    static Pool p;
    return p;
}

// A context lets go of an object: a doomed one goes when nothing holds it.
void deselect(GdiObject* o) {
    if (!o) return;
    --o->selections;
    if (o->doomed && o->selections == 0) pool().release(o);
}

void selectInto(GdiObject*& slot, GdiObject* o) {
    ++o->selections;
    GdiObject* old = slot;
    slot = o;
    deselect(old);
}

} // namespace

GdiObject* liveObject(HGDIOBJ handle, GdiObject::Kind kind) {
    if (!handle || handle->kind != kind || handle->doomed) return nullptr;
    return handle;
}

HDC__* liveDC(HDC dc) { return dc && dc->live ? dc : nullptr; }

HDC CreateCompatibleDC(HDC) {
    Pool& p = pool();
    HDC__* dc;
    if (!p.spareContexts.empty()) {
        dc = p.spareContexts.back();
        p.spareContexts.pop_back();
    } else {
        dc = &p.contexts.emplace_back();
    }
    *dc = HDC__();
    dc->live = true;
    selectInto(dc->bitmap, &p.monoBitmap);
    selectInto(dc->pen, &p.blackPen);
    selectInto(dc->brush, &p.whiteBrush);
    return dc;
}

BOOL DeleteDC(HDC handle) {
    HDC__* dc = liveDC(handle);
    if (!dc) return 0;
    deselect(dc->bitmap);
    deselect(dc->pen);
    deselect(dc->brush);
    if (dc->own && dc->own->kind == GdiObject::bitmap) {
        if (dc->own->selections > 0) dc->own->doomed = true;
        else pool().release(dc->own);
    }
    *dc = HDC__();
    pool().spareContexts.push_back(dc);
    return 1;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    // As in GDI, a zero size gives a 1x1 bitmap; a negative or absurd one fails.
    if (width < 0 || height < 0) return nullptr;
    if (width == 0 || height == 0) width = height = 1;
    if (std::int64_t(width) * height > (std::int64_t(1) << 28)) return nullptr;
    GdiObject* o = pool().make(GdiObject::bitmap);
    o->bmWidth = width;
    o->bmHeight = height;
    o->pixels.assign(std::size_t(width) * std::size_t(height), 0);
    return o;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    GdiObject* o = pool().make(GdiObject::pen);
    o->style = style == PS_NULL ? PS_NULL : PS_SOLID; // other styles are drawn solid
    o->width = width < 1 ? 1 : width;
    o->colour = colour & 0xffffff;
    return o;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    GdiObject* o = pool().make(GdiObject::brush);
    o->colour = colour & 0xffffff;
    return o;
}

HGDIOBJ GetStockObject(int which) {
    Pool& p = pool();
    switch (which) {
    case WHITE_BRUSH: return &p.whiteBrush;
    case BLACK_BRUSH: return &p.blackBrush;
    case NULL_BRUSH: return &p.nullBrush;
    case WHITE_PEN: return &p.whitePen;
    case BLACK_PEN: return &p.blackPen;
    case NULL_PEN: return &p.nullPen;
    default: return nullptr;
    }
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    HDC__* dc = liveDC(handle);
    if (!dc || !object || object->kind == GdiObject::freed || object->doomed) return nullptr;
    GdiObject** slot = object->kind == GdiObject::pen     ? &dc->pen
                       : object->kind == GdiObject::brush ? &dc->brush
                                                          : &dc->bitmap;
    GdiObject* old = *slot;
    if (old == object) return old;
    // A bitmap can be selected into one context at a time.
    if (object->kind == GdiObject::bitmap && !object->stock && object->selections > 0)
        return nullptr;
    selectInto(*slot, object);
    return old;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object || object->kind == GdiObject::freed || object->doomed) return 0;
    if (object->stock) return 1;
    if (object->selections > 0) {
        object->doomed = true;
        return 1;
    }
    pool().release(object);
    return 1;
}

Surface dcSurface(HDC handle) {
    HDC__* dc = liveDC(handle);
    if (!dc) return Surface{};
    GdiObject* b = dc->bitmap;
    return Surface{b->bmWidth, b->bmHeight, b->pixels.data()};
}

HDC createSurfaceDC(int width, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (!bitmap) {
        DeleteDC(dc);
        return nullptr;
    }
    SelectObject(dc, bitmap);
    dc->own = bitmap;
    return dc;
}

void deleteSurfaceDC(HDC dc) { DeleteDC(dc); }

int gdiLiveObjects() { return pool().live; }
