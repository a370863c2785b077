// The hero: a girl in a teal jacket with a red ponytail, goggles and a blaster in her near
// hand, 23 bones, every part bound rigidly to one bone, animated in code.
//
// The engine skins each bone on its own (rotation about its bind joint plus a translation), so
// the poses here are world transforms: a small forward-kinematics pass turns local joint angles
// into each bone's world rotation and joint position. The frame-blended draw blends the gun
// slot only into the bones whose blend flag the game keeps, and never their positions; so
// every gun-arm bone pivots at the gun shoulder with the same rotation, which keeps the arm in
// one piece whatever the blend.
//
// Units: level units (the player box is 65 x 180) times HERO_FILE_PER_LEVEL, the file units
// that give one level unit on screen after the loader's 0.05 and the game's 0.0345.
//
// Frame slots: 0 standing, 1-110 one gait cycle of two steps, 112-119 jump (115 used), 120-139
// idle (120 used), 140-143 gun raised (142 used), 144-202 one crawl step ending in the crouch
// at 202, 203 the crouch again (the game's scaling stops one slot short of the last).
#include "tools/game_data/game_data.h"
#include "tools/game_data/mesh_kit.h"

#include <cmath>

namespace {

const float HERO_FILE_PER_LEVEL = 2048.0f * 3.0f / 1080.0f / 1000.0f / (0.05f * 0.0345f);
const int ATLAS = 4;
const float CROUCH_DROP = 60.0f;  // the game lowers a crouched hero by this much

enum Bone {
    HIPS = 0, SPINE = 1, CHEST = 2, NECK = 3, GUN_PAD = 4, GUN_UPPER = 5, HEAD = 6, PONYTAIL = 7,
    GUN_FORE = 8, GUN_HAND = 9, FAR_THIGH = 10, FAR_SHIN = 11, FAR_FOOT = 12, GUN = 13, NEAR_THIGH = 14,
    GUN_SIGHT = 15, GUN_MAGAZINE = 16, NEAR_SHIN = 17, NEAR_FOOT = 18, GUN_MUZZLE = 19, FAR_UPPER = 20,
    FAR_FORE = 21, BADGE = 22, BONE_COUNT = 23
};

const V3 GUN_SHOULDER{-19, 0, 141};
const V3 FAR_SHOULDER{19, 0, 141};

struct BoneDef {
    int parent;
    V3 joint;  // bind pose, level units
};

const BoneDef BONES[BONE_COUNT] = {
    {-1, {0, 0, 92}},           // hips
    {HIPS, {0, 0, 100}},        // spine
    {SPINE, {0, 0, 118}},       // chest
    {CHEST, {0, 0, 146}},       // neck
    {CHEST, GUN_SHOULDER},      // gun shoulder pad
    {GUN_PAD, GUN_SHOULDER},    // gun arm, upper
    {NECK, {0, 0, 152}},        // head
    {HEAD, {0, 9, 166}},        // ponytail
    {GUN_UPPER, GUN_SHOULDER},  // gun arm, forearm
    {GUN_UPPER, GUN_SHOULDER},  // gun hand
    {HIPS, {9, 0, 90}},         // far thigh
    {FAR_THIGH, {9, 0, 50}},    // far shin
    {FAR_SHIN, {9, 0, 9}},      // far foot
    {GUN_UPPER, GUN_SHOULDER},  // blaster
    {HIPS, {-9, 0, 90}},        // near thigh
    {GUN_UPPER, GUN_SHOULDER},  // blaster sight
    {GUN_UPPER, GUN_SHOULDER},  // blaster cell
    {NEAR_THIGH, {-9, 0, 50}},  // near shin
    {NEAR_SHIN, {-9, 0, 9}},    // near foot
    {GUN_UPPER, GUN_SHOULDER},  // blaster muzzle
    {CHEST, FAR_SHOULDER},      // far arm, upper
    {FAR_UPPER, {20, 0, 115}},  // far forearm and hand
    {CHEST, {0, 0, 118}},       // chest badge
};

// Local joint angles of one pose (degrees about x unless named), and the hips' offset.
struct Pose {
    V3 hipsOffset{0, 0, 0};
    float spine = 0, chest = 0, neck = 0, ponytail = 0;
    float gunArm = -15;  // about x: negative raises the arm forwards
    float farUpper = 5, farFore = -20;
    float thigh[2] = {0, 0}, shin[2] = {0, 0}, foot[2] = {0, 0};  // [0] near, [1] far
};

struct WorldBone {
    M3 rotation;
    V3 joint;
};

void solve(const Pose& p, WorldBone out[BONE_COUNT])
{
    auto local = [&](int b) -> M3 {
        switch (b) {
        case SPINE: return rotX(p.spine);
        case CHEST: return rotX(p.chest);
        case NECK: return rotX(p.neck);
        case PONYTAIL: return rotX(p.ponytail);
        case GUN_PAD: return rotX(p.gunArm);
        case FAR_UPPER: return rotX(p.farUpper);
        case FAR_FORE: return rotX(p.farFore);
        case NEAR_THIGH: return rotX(p.thigh[0]);
        case FAR_THIGH: return rotX(p.thigh[1]);
        case NEAR_SHIN: return rotX(p.shin[0]);
        case FAR_SHIN: return rotX(p.shin[1]);
        case NEAR_FOOT: return rotX(p.foot[0]);
        case FAR_FOOT: return rotX(p.foot[1]);
        default: return identity3();
        }
    };
    for (int b = 0; b < BONE_COUNT; ++b) {
        const BoneDef& d = BONES[b];
        if (d.parent < 0) {
            out[b] = {local(b), d.joint + p.hipsOffset};
            continue;
        }
        const WorldBone& parent = out[d.parent];
        out[b].rotation = parent.rotation * local(b);
        out[b].joint = parent.joint + parent.rotation * (d.joint - BONES[d.parent].joint);
    }
}

std::vector<Model3dmBone> frameOf(const Pose& p)
{
    WorldBone world[BONE_COUNT];
    solve(p, world);
    std::vector<Model3dmBone> frame;
    for (const WorldBone& w : world) {
        Model3dmBone line{};
        V3 j = w.joint * HERO_FILE_PER_LEVEL;
        line.position[0] = j.x;
        line.position[1] = j.y;
        line.position[2] = j.z;
        eulerForEngine(w.rotation, line.euler);
        line.scale[0] = line.scale[1] = line.scale[2] = 1;
        frame.push_back(line);
    }
    return frame;
}

Pose idlePose(float breath = 0)
{
    Pose p;
    p.chest = 1.5f * breath;
    p.neck = -1.5f * breath;
    p.thigh[0] = -4;
    p.thigh[1] = 5;
    p.shin[0] = 6;
    p.shin[1] = 3;
    p.foot[0] = -2;
    p.foot[1] = -8;
    return p;
}

// Slot 1 + k of 110: two steps. The lowest body (feet apart) falls where the game's gun bob
// is lowest, slots 14 and 69.
Pose walkPose(int slot)
{
    Pose p;
    float phase = 2 * PI_F * float(slot) / 110.0f + PI_F / 4;
    p.spine = 3;
    p.neck = -3;
    for (int side = 0; side < 2; ++side) {
        float s = std::sin(phase + side * PI_F), c = std::cos(phase + side * PI_F);
        p.thigh[side] = 20 * s;
        // The knee folds while the leg swings forwards (its angle falling).
        p.shin[side] = 6 + 42 * std::fmax(0.0f, c);
        p.foot[side] = -p.thigh[side] - p.shin[side] + 10 * s * (s > 0);
    }
    // Arms swing against the legs on their side.
    p.gunArm = -15 - 8 * std::sin(phase);
    p.farUpper = 22 * std::sin(phase);
    p.farFore = -25 - 10 * std::fmax(0.0f, -std::sin(phase));
    p.ponytail = 8 * std::sin(2 * phase);
    return p;
}

Pose jumpPose()
{
    Pose p;
    p.spine = 6;
    p.thigh[0] = -70;
    p.thigh[1] = -35;
    p.shin[0] = 95;
    p.shin[1] = 80;
    p.foot[0] = -20;
    p.foot[1] = -30;
    p.gunArm = -55;
    p.farUpper = -110;
    p.farFore = -30;
    p.ponytail = -25;
    return p;
}

Pose gunPose()
{
    Pose p = idlePose();
    p.gunArm = -90;
    return p;
}

// A crouch on the balls of the feet, lifted by the game's crouch drop so the feet stay on the
// ground while the drop blends in; t = 0..1 is one shuffle step forward.
Pose crouchPose(float t)
{
    Pose p;
    float step = std::sin(2 * PI_F * t);
    p.hipsOffset = {0, -4, CROUCH_DROP - 46 + 3 * std::fabs(step)};
    p.spine = 28;
    p.chest = 6;
    p.neck = -30;
    // The shins are solved so each ankle stays at its height: on the ground, or lifted while
    // that foot steps forward.
    const float hipZ = BONES[NEAR_THIGH].joint.z + p.hipsOffset.z, thigh = 40, shin = 41;
    const float groundAnkle = BONES[NEAR_FOOT].joint.z + CROUCH_DROP;
    for (int side = 0; side < 2; ++side) {
        float swing = side ? -step : step;
        p.thigh[side] = -80 + 14 * swing;
        float knee = hipZ - thigh * std::cos(p.thigh[side] * DEGREES);
        float ankle = groundAnkle + 6 * std::fmax(0.0f, swing);
        float shinWorld = std::acos(std::fmax(-1.0f, std::fmin(1.0f, (knee - ankle) / shin))) / DEGREES;
        p.shin[side] = shinWorld - p.thigh[side];
        p.foot[side] = -shinWorld;
    }
    p.gunArm = -80;
    p.farUpper = -25;
    p.farFore = -50;
    p.ponytail = 20;
    return p;
}

MeshBuilder buildBody()
{
    const UvCell SKIN = atlasCell(0, 0, ATLAS), HAIR = atlasCell(1, 0, ATLAS), JACKET = atlasCell(2, 0, ATLAS),
                 TRIM = atlasCell(3, 0, ATLAS), PANTS = atlasCell(0, 1, ATLAS), BOOTS = atlasCell(1, 1, ATLAS),
                 METAL = atlasCell(2, 1, ATLAS), GLOW = atlasCell(3, 1, ATLAS), BELT = atlasCell(0, 2, ATLAS);
    MeshBuilder b;
    auto part = [&](int bone, UvCell cell) {
        b.bone = bone + 1;
        b.cell = cell;
    };
    part(HIPS, PANTS);
    b.ellipsoid({0, 0, 91}, {15, 11, 11}, 14, 8);
    part(HIPS, BELT);
    b.ellipsoid({0, 0, 99}, {14.5f, 10.5f, 3.5f}, 14, 4);
    part(SPINE, JACKET);
    b.ellipsoid({0, 0, 109}, {13, 9.5f, 11}, 14, 8);
    part(CHEST, JACKET);
    b.ellipsoid({0, 0.5f, 128}, {16.5f, 11, 17}, 16, 10);
    part(CHEST, TRIM);
    b.ellipsoid({0, 0.5f, 143}, {9, 8, 3}, 12, 4);
    b.box({-2, -11.6f, 112}, {2, -9.5f, 140});  // zip
    part(BADGE, GLOW);
    b.box({6, -11.4f, 131}, {10, -9.4f, 135});
    part(NECK, SKIN);
    b.limb({0, 0, 143}, {0, 0, 153}, 4.5f, 4.5f, 8);
    part(HEAD, SKIN);
    b.ellipsoid({0, -1.5f, 161}, {9.5f, 10.5f, 11.5f}, 14, 10);
    b.ellipsoid({0, -11.2f, 157}, {2, 2, 2.5f}, 6, 4);  // nose
    part(HEAD, HAIR);
    b.ellipsoid({0, 2.5f, 164.5f}, {10.8f, 10.8f, 11.2f}, 14, 10);
    b.ellipsoid({0, -7.5f, 171}, {9.5f, 5, 4}, 12, 6);  // fringe
    part(HEAD, GLOW);
    b.ellipsoid({0, -8.5f, 163}, {9.8f, 4.5f, 2.6f}, 14, 4);  // goggles
    part(PONYTAIL, HAIR);
    b.limb({0, 9, 166}, {0, 22, 147}, 5.5f, 2.5f, 8);
    part(PONYTAIL, TRIM);
    b.ellipsoid({0, 10, 165}, {4, 4, 4}, 8, 4);

    // Far arm: sleeve, then forearm and hand.
    part(FAR_UPPER, JACKET);
    b.limb(FAR_SHOULDER, {20, 0, 115}, 5, 4.2f, 8);
    part(FAR_FORE, SKIN);
    b.limb({20, 0, 115}, {20, 0, 93}, 3.8f, 3.2f, 8);
    b.ellipsoid({20, 0, 88}, {3.4f, 4, 5}, 8, 6);
    // Gun arm, hanging straight with the blaster along it, muzzle down.
    part(GUN_PAD, TRIM);
    b.ellipsoid(GUN_SHOULDER + V3{0, 0, 1}, {7, 7.5f, 6}, 10, 6);
    part(GUN_UPPER, JACKET);
    b.limb(GUN_SHOULDER, {-20, 0, 115}, 5, 4.2f, 8);
    part(GUN_FORE, SKIN);
    b.limb({-20, 0, 115}, {-20, 0, 93}, 3.8f, 3.2f, 8);
    part(GUN_HAND, SKIN);
    b.ellipsoid({-20, 0, 88}, {3.6f, 4.2f, 5}, 8, 6);
    part(GUN, METAL);
    b.box({-23, -3.5f, 64}, {-17, 3.5f, 85});
    part(GUN_SIGHT, GLOW);
    b.box({-21, -6, 70}, {-19, -3.5f, 80});
    part(GUN_MAGAZINE, BELT);
    b.box({-22, 3.5f, 76}, {-18, 9, 83});
    part(GUN_MUZZLE, GLOW);
    b.limb({-20, 0, 65}, {-20, 0, 60}, 2.6f, 2.2f, 8);

    for (int side = 0; side < 2; ++side) {
        float x = side ? 9.0f : -9.0f;
        int thigh = side ? FAR_THIGH : NEAR_THIGH, shin = side ? FAR_SHIN : NEAR_SHIN, foot = side ? FAR_FOOT : NEAR_FOOT;
        part(thigh, PANTS);
        b.limb({x, 0, 92}, {x, 0, 50}, 7.5f, 5.5f, 10);
        part(shin, BOOTS);
        b.limb({x, 0, 50}, {x, 0, 10}, 5.6f, 4.6f, 10);
        part(shin, TRIM);
        b.ellipsoid({x, 0, 46}, {6.2f, 6.2f, 2.5f}, 10, 4);  // boot cuff
        part(foot, BOOTS);
        b.box({x - 4.5f, -13, 0}, {x + 4.5f, 5, 8});
        b.ellipsoid({x, -12, 4}, {4.5f, 3, 4}, 8, 4);
    }
    return b;
}

Model3dmSkeleton skeletonOf(const std::vector<Pose>& frames, bool forAddedFrames)
{
    Model3dmSkeleton sk;
    sk.boneCount = BONE_COUNT;
    for (const BoneDef& d : BONES) {
        V3 j = d.joint * HERO_FILE_PER_LEVEL;
        sk.bindPose.push_back({{j.x, j.y, j.z}, {0, 0, 0}, {1, 1, 1}});
    }
    for (const Pose& p : frames)
        sk.frames.push_back(frameOf(p));
    sk.forAddedFrames = forAddedFrames;
    return sk;
}

} // namespace

std::vector<GeneratedModel> buildHeroModels()
{
    MeshBuilder body = buildBody();

    GeneratedModel model;
    model.file = "girla1.3dm";
    model.skinned = true;
    model.mesh = body.finish("girla_body", HERO_FILE_PER_LEVEL);
    std::vector<Pose> walk{idlePose()};
    for (int slot = 1; slot <= 110; ++slot)
        walk.push_back(walkPose(slot));
    model.skeleton = skeletonOf(walk, false);
    model.skeleton.influences.resize(body.bones.size());
    for (size_t v = 0; v < body.bones.size(); ++v)
        model.skeleton.influences[v] = {{body.bones[v], 1.0f}};

    // The appended files carry a token mesh: the engine reads and drops it.
    MeshBuilder token;
    token.triangle({0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 0, 0, 1, 0, 0, 1);
    auto added = [&](const char* file, const std::vector<Pose>& poses) {
        GeneratedModel m;
        m.file = file;
        m.skinned = true;
        m.mesh = token.finish("girla_frames", 1.0f);
        m.skeleton = skeletonOf(poses, true);
        return m;
    };
    std::vector<Pose> jumpIdle;
    for (int slot = 112; slot <= 123; ++slot)
        jumpIdle.push_back(slot < 120 ? jumpPose() : idlePose(float(slot - 120) / 3));
    std::vector<Pose> gun;
    for (int slot = 124; slot <= 143; ++slot)
        gun.push_back(slot < 140 ? idlePose(std::sin(2 * PI_F * float(slot - 124) / 16)) : gunPose());
    std::vector<Pose> crawl;
    for (int slot = 144; slot <= 203; ++slot)
        crawl.push_back(crouchPose(slot >= 202 ? 1.0f : float(slot - 144) / 58));
    return {model, added("girla2.3dm", jumpIdle), added("girla3.3dm", gun), added("girla4.3dm", crawl)};
}
