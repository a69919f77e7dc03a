#include "editor/editor_host.h"

namespace tessary {

namespace {
IEditorHost* g_pHost = nullptr;
}  // namespace

IEditorHost* EditorHost() { return g_pHost; }

void SetEditorHost(IEditorHost* host) { g_pHost = host; }

}  // namespace tessary
