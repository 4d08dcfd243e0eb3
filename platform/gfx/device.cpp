#include "platform/gfx/device.h"

#include <utility>

#include "platform/gfx/headless.h"

namespace platform::gfx {

namespace {

std::size_t Index(TransformState which) {
    return static_cast<std::size_t>(which);
}

FactoryProvider& InstalledProvider() {
    static FactoryProvider provider;
    return provider;
}

}  // namespace

Device::Device(int backBufferWidth, int backBufferHeight)
    : backWidth_(backBufferWidth), backHeight_(backBufferHeight) {
    // Direct3D's defaults for the states the panel touches.
    renderStates_[static_cast<std::size_t>(RenderState::Lighting)] = 1;
    renderStates_[static_cast<std::size_t>(RenderState::CullMode)] = kCullCCW;
    renderStates_[static_cast<std::size_t>(RenderState::ZEnable)] = 1;
    renderStates_[static_cast<std::size_t>(RenderState::ShadeMode)] = kShadeGouraud;
    renderStates_[static_cast<std::size_t>(RenderState::SrcBlendAlpha)] = kBlendOne;
    renderStates_[static_cast<std::size_t>(RenderState::DestBlendAlpha)] = kBlendZero;
}

void Device::SetTransform(TransformState which, const D3DXMATRIX& m) {
    transforms_[Index(which)] = m;
}

const D3DXMATRIX& Device::GetTransform(TransformState which) const {
    return transforms_[Index(which)];
}

void Device::SetRenderState(RenderState state, DWORD value) {
    if (state != RenderState::Count) {
        renderStates_[static_cast<std::size_t>(state)] = value;
    }
}

DWORD Device::GetRenderState(RenderState state) const {
    return state == RenderState::Count ? 0 : renderStates_[static_cast<std::size_t>(state)];
}

void Device::SetMaterial(const D3DMATERIAL9& material) {
    material_ = material;
}

void Device::SetLight(int index, const Light& light) {
    if (index == 0) {
        light_ = light;
    }
}

void Device::LightEnable(int index, bool enable) {
    if (index == 0) {
        lightEnabled_ = enable;
    }
}

void Device::SetTexture(int stage, const Texture* texture) {
    if (stage == 0) {
        texture_ = texture;
    }
}

void Device::SetTextureStageState(int stage, TextureStageState state, DWORD value) {
    if (stage != 0) {
        return;
    }
    (state == TextureStageState::ColorOp ? colorOp_ : alphaOp_) = value;
}

DWORD Device::GetTextureStageState(TextureStageState state) const {
    return state == TextureStageState::ColorOp ? colorOp_ : alphaOp_;
}

void Device::SetFVF(std::uint32_t fvf) {
    fvf_ = fvf;
}

FactoryProvider SetFactoryProvider(FactoryProvider provider) {
    return std::exchange(InstalledProvider(), std::move(provider));
}

std::unique_ptr<Factory> MakeFactory() {
    if (const FactoryProvider& provider = InstalledProvider()) {
        return provider();
    }
    return std::make_unique<HeadlessFactory>();
}

}  // namespace platform::gfx
