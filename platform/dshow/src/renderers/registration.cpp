// Makes the renderers creatable by class id and the graph's default renderers.
#include "audio_renderer.h"
#include "com_object.h"
#include "registration.h"
#include "video_renderer.h"

namespace renderers {

void RegisterRenderers() {
  using ffw::CreateComObject;
  RegisterBuiltinClass(CLSID_VideoRenderer, &CreateComObject<&VideoRenderer::CreateInstance>);
  RegisterBuiltinClass(CLSID_VideoMixingRenderer9, &CreateComObject<&VideoRenderer::CreateMixingInstance>);
  RegisterBuiltinClass(CLSID_AudioRender, &CreateComObject<&AudioRenderer::CreateInstance>);
  RegisterBuiltinClass(CLSID_DSoundRender, &CreateComObject<&AudioRenderer::CreateDirectSoundInstance>);
  // Where Render ends a stream: pictures on the screen, sound on the default device.
  DShowAddGraphCandidate(CLSID_VideoRenderer, u"Video Renderer", MERIT_PREFERRED, DSHOW_CANDIDATE_RENDERER);
  DShowAddGraphCandidate(CLSID_DSoundRender, u"Default DirectSound Device", MERIT_PREFERRED,
                         DSHOW_CANDIDATE_RENDERER);
}

}  // namespace renderers
