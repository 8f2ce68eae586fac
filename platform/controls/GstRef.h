// The one holder of a GStreamer object reference (elements, bins, buses, overlays): it drops the
// reference when it goes, so no path out of a function, an error among them, leaks one.
#pragma once

#include <gst/gst.h>

#include <memory>

namespace controls {

struct GstUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};

template <class T>
using GstRef = std::unique_ptr<T, GstUnref>;

// Takes ownership of a freshly made element, sinking its floating reference.
inline GstRef<GstElement> Own(GstElement* element) {
    if (element) gst_object_ref_sink(element);
    return GstRef<GstElement>(element);
}

}  // namespace controls
