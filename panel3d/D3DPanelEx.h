// The toolkit's 3D panel: owns a rendering device and redraws, on every paint, a scene held
// as seven lists of value records; keeps lazily loaded meshes and textures for the life of
// one device, and measures walls and triggers against its first-person camera.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "panel3d/FirstPersonCamera.h"
#include "panel3d/PassObjectCache.h"
#include "panel3d/SceneRecords.h"
#include "platform/d3dx/mesh.h"
#include "platform/gfx/device.h"
#include "platform/images/images.h"
#include "toolkit/PanelChildren.h"

namespace TekuUtility {

// Called when the camera runs into a trigger: the panel's parent element and the trigger's
// value (a triangle's id, a quad's tag). For triangles, true stops drawing this frame.
using HitCallback = bool (*)(GUIElement* owner, std::int32_t value);

struct Double3 {
    double x = 0, y = 0, z = 0;
};

// Yaw, pitch and roll in radians.
struct SceneRotation {
    double yaw = 0, pitch = 0, roll = 0;
};

// A loaded mesh with its materials and its box in its own coordinates.
struct MeshCacheEntry {
    std::string name;
    std::vector<platform::d3dx::D3DXMATERIAL> materials;
    std::uint32_t materialCount = 0;
    platform::d3dx::Mesh mesh;
    Double3 localMin, localMax;
};

// A texture loaded from a file (name set, resourceId 0) or a resource (name empty); texture
// is null when the load failed.
struct TextureCacheEntry {
    std::unique_ptr<platform::gfx::Texture> texture;
    std::string name;
    std::int32_t resourceId = 0;
};

// A ray test against a mesh: distance along the direction and the point hit.
struct RayHit {
    bool hit = false;
    float distance = 0;
    D3DXVECTOR3 point;
};

class D3DPanelEx : public PanelChildren {
  public:
    // The scene, in member order.
    std::vector<SceneTriangle> triangles;
    std::vector<SceneQuad> quads;
    std::vector<SpriteCell> spriteCells;
    std::vector<MeshObject> meshObjects;
    std::vector<TextLabel> textLabels;
    std::vector<Text3D> texts3D;
    std::vector<PolygonMesh> polygonMeshes;

    std::int32_t spriteSheetResourceId = 0;
    std::string backgroundImageFile;
    std::int32_t backgroundResourceId = 0;
    HitCallback hitCallback = nullptr;
    Double3 lightPosition{-10, -10, 10};
    Double3 lightDirection{-10, -10, 10};

    double cameraX = 0, cameraY = 0, cameraZ = -10;
    SceneRotation sceneRotation;
    Double3 sceneTranslation;
    bool useFirstPersonCamera = true;
    FirstPersonCamera firstPersonCamera;
    bool stopDrawing = false;
    float nearestHitDistance = 1000000.0f;

    explicit D3DPanelEx(GUIElement* parentElement);
    // Releases every GPU resource and the device maker.
    ~D3DPanelEx() override;

    // Makes the panel's window, then its device.
    void Create() override;
    // One frame, when the window, its client rectangle and the device exist.
    void OnPaint() override;
    virtual void renderFrame();
    // The scene rotation and camera position kept in "data\file.x" under the current folder.
    virtual bool loadGameInfo();
    virtual bool saveGameInfo();

    // Replaces the scene (the seventh list becomes empty) and re-creates the device; without
    // a device nothing changes.
    void setScene(std::vector<SceneTriangle> newTriangles, std::vector<SceneQuad> newQuads,
                  std::vector<SpriteCell> newSpriteCells, std::vector<MeshObject> newMeshObjects,
                  std::vector<TextLabel> newTextLabels, std::vector<Text3D> newTexts3D);
    void setLight(double px, double py, double pz, double dx, double dy, double dz);

    // Creates the device for the window (null: no window, the panel's own size is used).
    void initDevice(HWND window);
    // Releases the GPU resources (and the device maker when asked) in the fixed order.
    void releaseResources(bool releaseDirect3D);

    // Caches: borrowed results, valid until the next release.
    const MeshCacheEntry* getMesh(const std::string& fileName);
    const platform::gfx::Texture* getTextureFromFile(const std::string& fileName);
    const platform::gfx::Texture* getTextureFromResource(std::int32_t resourceId);
    std::optional<platform::Image> loadBackgroundFromFile(const std::string& fileName);
    std::optional<platform::Image> loadBackgroundFromResource(std::int32_t resourceId);

    // Picking.
    bool isInFrustum(float x, float y, float z) const;
    RayHit castRay(const platform::d3dx::Mesh& mesh, const D3DXVECTOR3& origin,
                   const D3DXVECTOR3& direction) const;
    bool isCameraNear(const platform::d3dx::Mesh& mesh) const;
    float distanceAhead(const platform::d3dx::Mesh& mesh) const;

    platform::gfx::Device* device() const { return device_.get(); }
    std::size_t meshCacheSize() const { return meshCache_.size(); }
    std::size_t textureCacheSize() const { return textureCache_.size(); }
    bool hasBackground() const { return backgroundSurface_ != nullptr; }
    const platform::gfx::Texture* spriteSheet() const { return spriteSheet_.get(); }
    // The sprite, fonts and 3D text meshes the passes keep between frames.
    const PassObjectCache& passObjects() const { return passObjects_; }

  protected:
    // One frame on an existing device (OnPaint checks the window first): rebuild a lost
    // device, clear, copy the background, set the scene's world transform, camera and
    // projection, run the passes in order (triangles, quads, mesh objects, polygon meshes,
    // sprites, labels, 3D texts; a trigger whose handler says so stops them), end the scene
    // and present.
    void drawFrame();
    void updateCameraAndProjection();
    void applyLight();
    void drawMeshObjects();
    void drawTriangles();
    void drawQuads();
    void drawPolygonMeshes();
    void drawSpriteCells();
    void drawTextLabels();
    void drawTexts3D();
    // The wall's warning sound (the default beep).
    virtual void beep();

  private:
    void replaceScene(SceneLists lists);
    void readWindowSize(HWND window);
    // Wall or trigger test of one picking mesh; returns true when the pass must stop.
    bool testHit(const platform::d3dx::Mesh& picking, bool wall, std::int32_t value,
                 bool triggerStops);
    const platform::gfx::Texture* recordTexture(const std::string& file, std::int32_t id);

    std::unique_ptr<platform::gfx::Factory> direct3D_;
    std::unique_ptr<platform::gfx::Device> device_;
    std::vector<std::unique_ptr<MeshCacheEntry>> meshCache_;
    std::vector<std::string> failedMeshes_;  // files that did not load, not tried again
    std::vector<TextureCacheEntry> textureCache_;
    std::unique_ptr<platform::gfx::Surface> backgroundSurface_;
    std::unique_ptr<platform::gfx::Texture> spriteSheet_;
    int sheetWidth_ = 0;
    int sheetHeight_ = 0;
    PassObjectCache passObjects_;
    // Scratch meshes reused from frame to frame: the picking mesh of the triangle and quad
    // passes, and one mesh per polygon-mesh record.
    platform::d3dx::Mesh pickingMesh_;
    std::vector<platform::d3dx::Mesh> polygonScratch_;
};

}  // namespace TekuUtility
