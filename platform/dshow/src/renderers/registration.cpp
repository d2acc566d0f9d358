// Makes the renderers creatable by class id and the graph's default renderers.
#include "audio_renderer.h"
#include "registration.h"
#include "video_renderer.h"

namespace dshow::renderers {

void RegisterRenderers() {
  RegisterBuiltinClass(CLSID_VideoRenderer, &CreateComInstance<&VideoRenderer::CreateInstance>);
  RegisterBuiltinClass(CLSID_VideoMixingRenderer9, &CreateComInstance<&VideoRenderer::CreateMixingInstance>);
  RegisterBuiltinClass(CLSID_AudioRender, &CreateComInstance<&AudioRenderer::CreateInstance>);
  RegisterBuiltinClass(CLSID_DSoundRender, &CreateComInstance<&AudioRenderer::CreateDirectSoundInstance>);
  // Where Render ends a stream: pictures on the screen, sound on the default device.
  DShowAddGraphCandidate(CLSID_VideoRenderer, u"Video Renderer", MERIT_PREFERRED, DSHOW_CANDIDATE_RENDERER);
  DShowAddGraphCandidate(CLSID_DSoundRender, u"Default DirectSound Device", MERIT_PREFERRED,
                         DSHOW_CANDIDATE_RENDERER);
}

}  // namespace dshow::renderers
