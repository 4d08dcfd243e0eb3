#include "panel3d/D3DPanelEx.h"

#include <utility>

#include "panel3d/PanelMath.h"
#include "panel3d/ResourcePictures.h"
#include "platform/msgbox.h"
#include "platform/win/win32.h"

namespace TekuUtility {

using namespace platform::d3dx;
namespace gfx = platform::gfx;

namespace {

constexpr platform::UINT kErrorBox = platform::MB_ICONERROR | platform::MB_TASKMODAL;
}  // namespace

D3DPanelEx::D3DPanelEx(GUIElement* parentElement) : PanelChildren(parentElement) {
    D3DPanelEx::SetSize(300, 50);
}

D3DPanelEx::~D3DPanelEx() {
    releaseResources(true);
}

void D3DPanelEx::Create() {
    const bool wasCreated = created;
    PanelChildren::Create();
    if (!wasCreated) {
        initDevice(handle);
    }
}

void D3DPanelEx::renderFrame() {
    OnPaint();
}

void D3DPanelEx::OnPaint() {
    platform::RECT client;
    if (!handle || !platform::GetClientRect(handle, &client) || !device_) {
        return;
    }
    drawFrame();
}

void D3DPanelEx::readWindowSize(HWND window) {
    platform::RECT r;
    if (window && platform::GetWindowRect(window, &r)) {
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
}

void D3DPanelEx::initDevice(HWND window) {
    if (device_) {
        // Caches and pictures belong to one device: never carry them over to another.
        releaseResources(false);
    }
    readWindowSize(window);
    if (!direct3D_) {
        direct3D_ = gfx::MakeFactory();
        if (!direct3D_) {
            platform::MessageBoxA(ParentWindow(), "Inizializzazione DirectX fallita.", "errore",
                                  kErrorBox);
            return;
        }
    }
    gfx::DeviceParams params{window, width, height};
    platform::RECT client;
    if (window && platform::GetClientRect(window, &client)) {
        params.width = client.right - client.left;
        params.height = client.bottom - client.top;
    }
    device_ = direct3D_->CreateDevice(gfx::DeviceType::Hardware, params);
    if (!device_) {
        device_ = direct3D_->CreateDevice(gfx::DeviceType::Reference, params);
    }
    if (!device_) {
        platform::MessageBoxA(ParentWindow(), "Inizializzazione DirectX fallita (CreateDevice).",
                              "errore", kErrorBox);
    } else {
        firstPersonCamera.device = device_.get();
        firstPersonCamera.position = {static_cast<float>(cameraX), static_cast<float>(cameraY),
                                      static_cast<float>(cameraZ)};
        firstPersonCamera.dirty = true;
        device_->SetRenderState(gfx::RenderState::CullMode, gfx::kCullNone);
        device_->SetRenderState(gfx::RenderState::Lighting, 0);
        std::optional<platform::Image> background;
        if (!backgroundImageFile.empty()) {
            background = loadBackgroundFromFile(backgroundImageFile);
        } else if (backgroundResourceId != 0) {
            background = loadBackgroundFromResource(backgroundResourceId);
        }
        // The panel's border takes a few pixels of its client area, so a picture made for the
        // whole panel is a little larger than the back buffer: keep the top-left part that
        // fits rather than no background at all.
        if (background) {
            backgroundSurface_ = device_->CreateSurface(platform::CropToTopLeft(
                std::move(*background), device_->BackBufferWidth(), device_->BackBufferHeight()));
        }
        if (spriteSheetResourceId > 0) {
            // Kept outside the texture cache: it lives as long as the device.
            if (auto image = LoadResourcePicture(spriteSheetResourceId)) {
                spriteSheet_ = device_->CreateTexture(*image);
            }
            if (spriteSheet_) {
                sheetWidth_ = spriteSheet_->Width();
                sheetHeight_ = spriteSheet_->Height();
            }
        }
    }
    stopDrawing = false;
}

void D3DPanelEx::setScene(std::vector<SceneTriangle> newTriangles, std::vector<SceneQuad> newQuads,
                          std::vector<SpriteCell> newSpriteCells,
                          std::vector<MeshObject> newMeshObjects,
                          std::vector<TextLabel> newTextLabels, std::vector<Text3D> newTexts3D) {
    SceneLists lists;
    lists.triangles = std::move(newTriangles);
    lists.quads = std::move(newQuads);
    lists.spriteCells = std::move(newSpriteCells);
    lists.meshObjects = std::move(newMeshObjects);
    lists.textLabels = std::move(newTextLabels);
    lists.texts3D = std::move(newTexts3D);
    replaceScene(std::move(lists));
}

void D3DPanelEx::replaceScene(SceneLists lists) {
    if (!device_) {
        return;
    }
    textLabels = std::move(lists.textLabels);
    texts3D = std::move(lists.texts3D);
    triangles = std::move(lists.triangles);
    quads = std::move(lists.quads);
    spriteCells = std::move(lists.spriteCells);
    meshObjects = std::move(lists.meshObjects);
    polygonMeshes = std::move(lists.polygonMeshes);
    releaseResources(false);
    initDevice(handle);
}

void D3DPanelEx::setLight(double px, double py, double pz, double dx, double dy, double dz) {
    lightPosition = {px, py, pz};
    lightDirection = {dx, dy, dz};
}

void D3DPanelEx::drawFrame() {
    nearestHitDistance = 1000000.0f;
    if (device_->TestCooperativeLevel() == gfx::CooperativeLevel::DeviceNotReset) {
        replaceScene(SceneLists{triangles, quads, spriteCells, meshObjects, textLabels, texts3D,
                                polygonMeshes});
        if (!device_) {
            return;  // re-creation failed: the panel stays blank
        }
    }
    device_->Clear(OpaqueColor(backColor), 1.0f);
    device_->BeginScene();
    device_->SetRenderState(gfx::RenderState::Lighting, 0);
    if (backgroundSurface_) {
        device_->CopyToBackBuffer(*backgroundSurface_);
    }
    device_->SetTransform(gfx::TransformState::World,
                          SceneWorld(sceneRotation.yaw, sceneRotation.pitch, sceneRotation.roll,
                                     sceneTranslation.x, sceneTranslation.y, sceneTranslation.z));
    updateCameraAndProjection();

    using Pass = void (D3DPanelEx::*)();
    const std::pair<bool, Pass> passes[] = {
        {!triangles.empty(), &D3DPanelEx::drawTriangles},
        {!quads.empty(), &D3DPanelEx::drawQuads},
        {!meshObjects.empty(), &D3DPanelEx::drawMeshObjects},
        {!polygonMeshes.empty(), &D3DPanelEx::drawPolygonMeshes},
        {!spriteCells.empty(), &D3DPanelEx::drawSpriteCells},
        {!textLabels.empty(), &D3DPanelEx::drawTextLabels},
        {!texts3D.empty(), &D3DPanelEx::drawTexts3D},
    };
    for (const auto& [present, pass] : passes) {
        if (stopDrawing) {
            break;
        }
        if (present) {
            (this->*pass)();
        }
    }
    device_->EndScene();
    passObjects_.endFrame(*device_);
    device_->Present();
}

void D3DPanelEx::updateCameraAndProjection() {
    if (!useFirstPersonCamera) {
        const D3DXVECTOR3 eye{static_cast<float>(cameraX), static_cast<float>(cameraY),
                              static_cast<float>(cameraZ)};
        const D3DXVECTOR3 at{0, 0, 0}, up{0, 1, 0};
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        device_->SetTransform(gfx::TransformState::View, view);
    } else {
        firstPersonCamera.Update(device_->GetTransform(gfx::TransformState::Projection));
    }
    readWindowSize(handle);
    device_->SetTransform(gfx::TransformState::Projection, ProjectionMatrix(width, height));
}

void D3DPanelEx::applyLight() {
    D3DMATERIAL9 yellow;
    yellow.Diffuse = yellow.Ambient = {1, 1, 0, 1};
    device_->SetMaterial(yellow);

    gfx::Light light;
    light.type = gfx::LightType::Directional;
    light.diffuse = {1, 1, 1, 0};
    light.position = ToVector3(lightPosition);
    const D3DXVECTOR3 direction = ToVector3(lightDirection);
    D3DXVec3Normalize(&light.direction, &direction);
    light.range = 1000.0f;
    device_->SetLight(0, light);
    device_->LightEnable(0, true);

    device_->SetRenderState(gfx::RenderState::Lighting, 1);
    device_->SetRenderState(gfx::RenderState::ShadeMode, gfx::kShadeGouraud);
    device_->SetRenderState(gfx::RenderState::ZEnable, 1);
    device_->SetRenderState(gfx::RenderState::DitherEnable, 1);
    device_->SetRenderState(gfx::RenderState::SpecularEnable, 1);
    device_->SetRenderState(gfx::RenderState::Ambient, 0x80808080u);
}

void D3DPanelEx::drawMeshObjects() {
    for (MeshObject& object : meshObjects) {
        if (!object.visible) {
            continue;
        }
        device_->SetTexture(0, nullptr);
        if (object.frame < 0 || static_cast<std::size_t>(object.frame) >= object.meshFiles.size()) {
            continue;  // no such frame: drawn like an unloadable file
        }
        const MeshCacheEntry* entry =
            getMesh(object.meshFiles[static_cast<std::size_t>(object.frame)]);
        if (!entry) {
            continue;
        }
        const D3DXMATRIX saved = device_->GetTransform(gfx::TransformState::World);
        const D3DXMATRIX world = ObjectWorld(saved, object);
        device_->SetTransform(gfx::TransformState::World, world);
        if (object.lit) {
            applyLight();
        } else {
            device_->SetRenderState(gfx::RenderState::Lighting, 0);
        }
        for (std::uint32_t i = 0; i < entry->materialCount; ++i) {
            // The file's colours with the ambient colour replaced by the diffuse one.
            D3DMATERIAL9 material = entry->materials[i].MatD3D;
            material.Ambient = material.Diffuse;
            device_->SetMaterial(material);
            const std::string& textureFile = entry->materials[i].textureFilename;
            if (const gfx::Texture* texture =
                    textureFile.empty() ? nullptr : getTextureFromFile(textureFile)) {
                device_->SetTexture(0, texture);  // a subset without one keeps the bound one
            }
            device_->DrawSubset(entry->mesh, i);
        }
        object.bounds = WorldBounds(ToVector3(entry->localMin), ToVector3(entry->localMax), world);
        device_->SetTransform(gfx::TransformState::World, saved);
    }
}

void D3DPanelEx::beep() {
    platform::MessageBeep(0xFFFFFFFFu);
}

}  // namespace TekuUtility
