#pragma once
// The C interface between the two binaries of the LV2 bundle. The UI binary holds no editor of its
// own: it loads the plug-in binary from the bundle (the host has it loaded already when it offers
// instance access) and asks its descriptor's extension_data for kEditorLinkUri. With the host's
// instance access the editor opens on the running plug-in itself, exactly as the VST2 editor does;
// without it, on a stand-in instance that only mirrors the parameter ports.
//
// Every function runs on the host's UI thread.

#include <cstdint>

extern "C" {

// What the UI binary hands the editor: the host's write function, wrapped.
struct VornaLv2UiHost {
    void* context;
    // A parameter (0..90) set by the editor, in its own units (the port's value).
    void (*writeParam)(void* context, int paramIndex, float value);
    // The start and end of a gesture on a parameter; may be null.
    void (*touchParam)(void* context, int paramIndex, bool grabbed);
    // Asks the host to give the editor's widget a new size in pixels (the editor's scale
    // changed); 0 when it did. May be null: the host cannot resize.
    int (*resize)(void* context, int width, int height);
};

struct VornaLv2EditorLink {
    std::uint32_t version; // 1
    // Opens the editor of the plug-in instance (its LV2_Handle) as a child of the X11 parent
    // window. Null when it cannot.
    void* (*open)(void* instance, void* parent, const VornaLv2UiHost* host);
    // Opens an editor on a stand-in instance, for hosts without instance access: it shows and
    // edits the parameters; commands that act on the plug-in's programs and files say that they
    // need a host that gives instance access.
    void* (*openStandIn)(void* parent, const VornaLv2UiHost* host);
    // The editor's own X11 window (the UI's widget), and its size in pixels.
    std::uintptr_t (*window)(void* session);
    void (*size)(void* session, int* width, int* height);
    // The host's idle call: handles the window's events and redraws. Non-zero once the editor has
    // gone.
    int (*idle)(void* session);
    // A parameter port's value as the host now holds it.
    void (*portEvent)(void* session, int paramIndex, float value);
    // Closes the editor and frees the session.
    void (*close)(void* session);
};

} // extern "C"
