"""What every image shows, one line per image.

Each line gives the image number, what the behaviour script does with it
(the actions that show it and what comes before and after), and the pose as
changes to one of a few base poses. The drawn cat faces LEFT: walking, running,
pouncing and leaping all move it towards the left of the screen.
"""
import math

STAND = {}
SIT = {
    "hip": (5.5, -4.5), "shoulder": (14.5, 2.5), "head": (6.5, 3.5), "arch": 2.0,
    "nf": (1.6, 7.0), "ff": (1.6, 6.0), "haunch": 3.4,
    "nh": (1.6, -0.5, None, (0.8, -6.0)), "fh": (1.6, 0.5, None, (0.8, -6.0)),
    "tail": (-35.0, 9.0, 25.0, 19.0),
}
LIE = {
    "hip": (5.0, -7.5), "shoulder": (5.4, 4.5), "head": (6.5, 4.5),
    "nf": (1.5, 12.5), "ff": (1.5, 11.0),
    "nh": (1.5, -2.5, None, (0.5, -4.5)), "fh": (1.5, -1.5, None, (0.5, -4.5)),
    "tail": (-20.0, 4.0, 20.0, 12.0),
}
CROUCH = {
    "hip": (7.0, -6.5), "shoulder": (6.5, 6.0), "head": (5.0, 5.0),
    "nf": (1.6, 10.0), "ff": (1.6, 8.5),
    "nh": (1.6, -3.0, None, (1.0, -4.0)), "fh": (1.6, -2.0, None, (1.0, -4.0)),
    "tail": (20.0, -3.0, 30.0, 14.0),
}
FRONT = {"yaw": 0.0, "head_yaw": 0.0, "nf": (1.6, 7.0), "ff": (1.6, 7.0),
         "nh": (1.6, -7.5), "fh": (1.6, -7.5), "tail": (5.0, 12.0, 75.0, 0.0)}
FRONT_SIT = dict(SIT, yaw=0.0, head_yaw=0.0, nf=(1.6, 6.0), ff=(1.6, 6.0),
                 nh=(1.6, 1.0, None, (0.8, -5.0)), fh=(1.6, 1.0, None, (0.8, -5.0)),
                 tail=(-40.0, 10.0, 40.0, 16.0))
# Lying seen from the front and a little to the side, so the body shows.
FRONT_LIE = dict(LIE, yaw=25.0, head_yaw=-10.0, x=-2.0, nf=(1.5, 10.0), ff=(1.5, 10.0),
                 nh=(1.5, -2.0, None, (0.5, -4.5)), fh=(1.5, -2.0, None, (0.5, -4.5)),
                 tail=(-20.0, 2.0, 50.0, 16.0))
BACK = {"yaw": 180.0, "head_yaw": 0.0, "nf": (1.6, 7.0), "ff": (1.6, 7.0),
        "nh": (1.6, -7.5), "fh": (1.6, -7.5), "tail": (20.0, 9.0, 90.0, 0.0)}
# On the wall, seen from behind: the spine points up the screen.
WALL = dict(BACK, pitch=90.0, y=18.5, hip=(6.5, -6.0), shoulder=(7.0, 5.0),
            head=(3.0, 6.0), head_pitch=-55.0, whiskers=False,
            tail=(10.0, 0.0, 25.0, 14.0))
# Held up by the scruff: spine upright, hind legs hanging, forepaws up.
HELD = {"y": 4.5, "hip": (6.5, -1.5), "shoulder": (18.5, 0.5), "arch": 1.5,
        "head": (5.5, 3.0), "head_pitch": 5.0,
        "nh": (-2.5, 1.5, None, (3.2, -0.8)), "fh": (-1.5, 2.5, None, (3.2, -0.8)),
        "tail": (-75.0, 4.0, 15.0, 6.0)}


def walk(k):
    """Frame k of the six-frame walk: the diagonal pairs swing in turn,
    feet planted on the floor slide back while the window moves left."""
    paws = {}
    for name, phase0, home in (("nh", 0.0, -7.5), ("nf", 0.25, 6.8),
                               ("fh", 0.5, -7.5), ("ff", 0.75, 6.8)):
        ph = (k / 6.0 + phase0) % 1.0
        if ph < 0.6:
            z, y = home + 9.0 * (0.5 - ph / 0.6), 1.6
        else:
            u = (ph - 0.6) / 0.4
            z, y = home + 9.0 * (u - 0.5), 1.6 + 3.0 * math.sin(math.pi * u)
        paws[name] = (y, z)
    bob = -0.5 * abs(math.sin(math.pi * k / 3.0))
    paws.update(y=bob, tail=(50.0 + 6.0 * math.sin(math.pi * k / 3.0), 9.0, 0.0, 0.0),
                head=(7.0, 4.5 + 0.3 * math.cos(math.pi * k / 3.0)))
    return paws


def turn(yaw, head_yaw, tail):
    return {"yaw": yaw, "head_yaw": head_yaw, "tail": tail,
            "nf": (1.6, 7.8), "ff": (1.6, 6.0), "nh": (1.6, -8.5), "fh": (1.6, -6.8)}


def P(*layers, **changes):
    pose = {}
    for layer in layers:
        pose.update(layer)
    pose.update(changes)
    return pose


# (image, what the script does with it, pose)
CATALOGUE = [
    (1, "A1 hub, start pose; walk/run start and end here; turns pass through it: standing, profile", P(STAND)),
    (2, "A2 walk 1/6 (dx -5); after 1, 7, 20", P(walk(0))),
    (3, "A2 walk 2/6", P(walk(1))),
    (4, "A2 walk 3/6", P(walk(2))),
    (5, "A2 walk 4/6", P(walk(3))),
    (6, "A2 walk 5/6", P(walk(4))),
    (7, "A2 walk 6/6; flows into 2, 1 and 19", P(walk(5))),
    (8, "A3/A4/A6/A23 turn to the viewer, 60 deg from front: after 1, before 9", P(turn(60.0, -20.0, (55.0, 6.0, 20.0, 5.0)))),
    (9, "A3/A4/A6/A23 turn to the viewer, 30 deg: between 8 and 10", P(turn(30.0, -10.0, (55.0, 2.0, 40.0, 8.0)))),
    (10, "A8 hub: standing, front view, symmetric; A3 ends, A4/A5 start here", P(FRONT)),
    (11, "A9 hub: sitting, front view, paws together, tail round the feet", P(FRONT_SIT)),
    (12, "A14 yawn opening, front sitting (twin of 21)", P(FRONT_SIT, eyes="half", mouth="open", head_pitch=8.0)),
    (13, "A14 full yawn, front sitting (twin of 22)", P(FRONT_SIT, eyes="closed", mouth="wide", head_pitch=18.0)),
    (14, "A10 hub: sitting, profile; most profile routines start and end here", P(SIT)),
    (15, "A18 tail flick, alternates with 14", P(SIT, tail=(-30.0, 16.0, 25.0, 8.0))),
    (16, "A17/A20 sitting, head turned up to the viewer", P(SIT, head_yaw=-60.0, head_pitch=18.0)),
    (17, "A20 meow: as 16, mouth open", P(SIT, head_yaw=-60.0, head_pitch=22.0, mouth="open")),
    (18, "A19 tail flick, front sitting, alternates with 11", P(FRONT_SIT, tail=(-40.0, 14.0, 40.0, 4.0))),
    (19, "A21 run 1/2 (dx -20): stretched out; after 1, 7, 20", P(hip=(14.0, -8.5), shoulder=(14.5, 7.0), y=1.5, nf=(3.5, 15.5), ff=(2.5, 13.0), nh=(3.0, -16.0, None, (2.0, 2.6)), fh=(4.0, -14.0, None, (2.0, 2.6)), tail=(30.0, 7.0, 0.0, 0.0), ears="back", x=-2.0)),
    (20, "A21 run 2/2: gathered, back arched; flows into 19, 1, 2", P(hip=(13.5, -6.0), shoulder=(13.5, 5.0), arch=2.5, y=0.5, nf=(2.0, 0.5), ff=(3.5, 2.5), nh=(1.6, 2.0), fh=(2.5, 0.5), tail=(45.0, 6.0, 0.0, 0.0), ears="back", x=-1.0)),
    (21, "A16 yawn opening, sitting profile", P(SIT, eyes="half", mouth="open", head_pitch=8.0)),
    (22, "A16 full yawn, sitting profile", P(SIT, eyes="closed", mouth="wide", head_pitch=20.0, ears="back")),
    (23, "A11 grooming: forepaw at the mouth, licking", P(SIT, nf=(15.0, 10.0), head_pitch=-10.0, mouth="tongue")),
    (24, "A11 as 23, paw lower, tongue in; cuts to 34 and 14", P(SIT, nf=(13.0, 9.5), head_pitch=-8.0)),
    (25, "A7/A23/A24 turn away, 120 deg: rear three-quarter, head still side-on", P(turn(120.0, -30.0, (60.0, 4.0, -10.0, 0.0)))),
    (26, "A7/A23/A24 turn away, 150 deg: nearly from behind", P(turn(150.0, -15.0, (55.0, 2.0, 50.0, 0.0)))),
    (27, "A48 hub: from behind, symmetric; climbing and sliding start and end here", P(BACK)),
    (28, "A15 sniff in/out: standing, head lowering", P(head=(3.5, 6.0), head_pitch=-25.0)),
    (29, "A15 sniffing the floor A", P(head=(0.5, 7.0), head_pitch=-45.0, eyes="half")),
    (30, "A15 sniffing the floor B, head shifted", P(head=(0.5, 7.8), head_pitch=-40.0, eyes="half")),
    (31, "A22 watching a fly: head jerked down-forward", P(SIT, head=(6.0, 6.0), head_pitch=-22.0)),
    (32, "A22 alert, head up, ears pricked; first after 14", P(SIT, head=(7.5, 4.5), head_pitch=8.0)),
    (33, "A22 head jerked up", P(SIT, head=(8.0, 3.5), head_pitch=32.0)),
    (34, "A12 face wash: paw over the ear", P(SIT, nf=(20.0, 8.0), head_pitch=-12.0, head_roll=-10.0, eyes="closed")),
    (35, "A12 face wash: paw down over eye and cheek; cuts to 23", P(SIT, nf=(16.5, 10.0), head_pitch=-10.0, eyes="closed")),
    (36, "A13 tail swish up and forward", P(tail=(85.0, 14.0, 0.0, 0.0))),
    (37, "A13 tail swish down and back", P(tail=(40.0, -4.0, 25.0, 8.0))),
    (38, "A26 climbing (dy -8), from behind; r38 the other step", P(WALL, nf=(1.6, 13.0, 9.0), ff=(1.6, 5.5, -9.5), nh=(1.6, -5.0, 9.5), fh=(1.6, -10.5, -8.5))),
    (39, "A27/A28/A30 stalking crouch: belly low, eyes ahead", P(CROUCH)),
    (40, "A27 stalking, hindquarters raised (wiggle A)", P(CROUCH, hip=(9.5, -6.5), tail=(35.0, -5.0, 30.0, 12.0))),
    (41, "A27 stalking, hindquarters shifted (wiggle B)", P(CROUCH, hip=(9.0, -6.5), roll=6.0, tail=(35.0, -5.0, -30.0, -12.0))),
    (42, "A29 pounce (dx -5, dy 10): diving forward and down", P(pitch=-28.0, y=6.0, x=3.5, nf=(4.0, 14.0), ff=(2.5, 13.0), nh=(6.0, -15.0, None, (2.2, 2.8)), fh=(7.0, -14.0, None, (2.2, 2.8)), tail=(35.0, -4.0, 0.0, 0.0), eyes="wide", ears="back")),
    (43, "A30 pounce landing: forepaws down, rear still high; then 39", P(hip=(13.5, -6.5), shoulder=(9.0, 6.0), nf=(1.6, 11.0), ff=(1.6, 10.0), nh=(5.0, -8.0), fh=(4.0, -7.0), head=(5.0, 5.5), tail=(70.0, -4.0, 20.0, 8.0))),
    (44, "A31 walking down towards the viewer (dy 10); r44 the other step", P(FRONT, pitch=-18.0, y=3.0, nf=(4.5, 9.0), ff=(1.6, 6.0), nh=(1.6, -8.0), fh=(4.0, -6.0))),
    (45, "A32 ear scratch: hind leg up behind the ear", P(SIT, hip=(6.5, -3.5), head=(5.5, 3.0), nh=(20.0, 0.5, 5.5, (-3.5, -0.5)), head_roll=22.0, head_pitch=-8.0, eyes="happy")),
    (46, "A32 ear scratch: leg stroke down", P(SIT, hip=(6.5, -3.5), head=(5.5, 3.0), nh=(16.5, 1.5, 5.5, (-3.5, -0.5)), head_roll=22.0, head_pitch=-8.0, eyes="happy")),
    (47, "A33/A34 sliding down the wall (dy 3), from behind, paws splayed", P(WALL, nf=(1.6, 10.0, 9.5), ff=(1.6, 10.0, -9.5), nh=(1.6, -8.5, 9.5), fh=(1.6, -8.5, -9.5), ears="back")),
    (48, "A35 asleep, lying front view: head sunk, eyes closed", P(FRONT_LIE, head=(5.0, 5.0), head_pitch=-25.0, eyes="closed")),
    (49, "A35 asleep, breathing in: back higher", P(FRONT_LIE, hip=(5.6, -7.5), shoulder=(6.0, 4.5), head=(5.0, 5.0), head_pitch=-22.0, eyes="closed")),
    (50, "A39 lying, looking round 1/3: head turned down", P(LIE, head_pitch=-15.0, head_yaw=-10.0)),
    (51, "A39 lying, looking round 2/3", P(LIE, head_yaw=-35.0)),
    (52, "A39 lying, looking round 3/3: head to the viewer", P(LIE, head_yaw=-70.0, head_pitch=5.0)),
    (53, "A36/A40 lying down / getting up: forelegs walking forward", P(SIT, hip=(5.0, -5.5), shoulder=(8.5, 4.0), nf=(1.5, 11.0), ff=(1.5, 9.0), head=(6.5, 5.0))),
    (54, "A37 hub: lying, profile (sphinx)", P(LIE)),
    (55, "A38 lying, tail tip raised", P(LIE, tail=(-20.0, 16.0, 20.0, 8.0))),
    (56, "A38 lying, tail tip curled down", P(LIE, tail=(-15.0, -2.0, 30.0, 16.0))),
    (57, "A36/A40/A41 half lying: chest down, rear settling", P(LIE, hip=(6.5, -6.5), shoulder=(6.5, 4.5), nf=(1.5, 11.0))),
    (58, "A41 roll 1: tipping onto the side", P(LIE, roll=-50.0, y=1.5, nf=(3.0, 10.0), ff=(3.5, 9.0), head_roll=20.0)),
    (59, "A41 roll 2: on the back, paws in the air, face upside down", P(LIE, roll=-170.0, y=11.0, nf=(-10.0, 8.5), ff=(-8.5, 5.5), nh=(-9.5, -3.0, None, (2.5, 1.5)), fh=(-8.0, -6.0, None, (2.5, 1.5)), head=(1.0, 7.5), head_yaw=80.0, tail=(0.0, -4.0, 40.0, 14.0))),
    (60, "A41 roll 3: rolling on over", P(LIE, roll=-260.0, y=6.0, head_roll=250.0)),
    (61, "A41 roll 4: pushing up to sitting, facing left; then 14", P(SIT, hip=(5.0, -5.0), shoulder=(9.5, 4.0), head=(6.5, 4.5), nf=(1.5, 8.5), ff=(1.5, 7.5))),
    (62, "A42 coiled to leap up, looking up-left; cuts to 14 and 63", P(CROUCH, hip=(7.5, -5.5), shoulder=(9.0, 5.5), head=(6.5, 4.0), head_pitch=28.0, nf=(1.6, 8.0), ff=(1.6, 7.0), tail=(25.0, -2.0, 30.0, 14.0))),
    (63, "A43 leap up-left (dx -8, dy -8): stretched diagonally upward", P(pitch=32.0, y=8.0, x=-1.0, nf=(9.0, 15.0), ff=(7.5, 14.0), nh=(8.0, -16.0, None, (1.5, 3.0)), fh=(9.0, -15.0, None, (1.5, 3.0)), tail=(-20.0, 4.0, 30.0, 12.0), head_pitch=-10.0)),
    (64, "A44 landing after the leap: forelegs down, hind legs swinging under; then 1", P(pitch=-12.0, y=1.5, nf=(1.6, 9.5), ff=(2.5, 8.0), nh=(5.0, -5.5), fh=(4.0, -4.5), tail=(60.0, -4.0, 0.0, 0.0))),
    (65, "A45 tail play: looking down at the tail in front", P(SIT, head=(5.5, 5.5), head_pitch=-30.0, tail=(-35.0, 11.0, 45.0, 20.0))),
    (66, "A45 forepaw patting the tail", P(SIT, head=(5.5, 5.5), head_pitch=-30.0, nf=(1.6, 10.0), tail=(-35.0, 11.0, 45.0, 20.0))),
    (67, "A45 forepaw raised over the tail", P(SIT, head=(5.5, 5.5), head_pitch=-25.0, nf=(6.5, 10.5), tail=(-35.0, 11.0, 45.0, 20.0))),
    (68, "A45 head down, mouthing the tail", P(SIT, head=(3.5, 6.5), head_pitch=-45.0, mouth="open", tail=(-35.0, 11.0, 45.0, 20.0))),
    (69, "A46 asleep, lying profile: head down on the paws", P(LIE, head=(3.5, 6.5), head_pitch=-12.0, eyes="closed", tail=(-15.0, 2.0, 30.0, 14.0))),
    (70, "A46 asleep, breathing in: back higher", P(LIE, hip=(5.6, -7.5), shoulder=(6.0, 4.5), head=(3.2, 6.5), head_pitch=-12.0, eyes="closed", tail=(-15.0, 2.0, 30.0, 14.0))),
    (71, "A42 coiled to leap, rear shifted (alternates with 62)", P(CROUCH, hip=(9.0, -5.5), shoulder=(9.0, 5.5), head=(6.5, 4.0), head_pitch=28.0, nf=(1.6, 8.0), ff=(1.6, 7.0), roll=5.0, tail=(35.0, -3.0, 40.0, 14.0))),
    (72, "A45 tail tip in the mouth, tugging", P(SIT, head=(4.5, 6.0), head_pitch=-32.0, head_roll=-10.0, mouth="open", tail=(-30.0, 14.0, 45.0, 20.0))),
    (73, "A47 licking the chest, head bowed", P(SIT, head=(5.0, 4.5), head_pitch=-48.0, mouth="tongue", eyes="closed")),
    (74, "A47 as 73, head a little higher", P(SIT, head=(5.8, 4.5), head_pitch=-32.0, eyes="closed")),
    (75, "A49 from behind, tail swished to one side; r75 the other", P(BACK, tail=(-15.0, 14.0, 90.0, 0.0))),
    (76, "A50/A51 front sitting, head tilted up at the viewer (twin of 16)", P(FRONT_SIT, head_pitch=16.0, head_roll=12.0)),
    (77, "A51 meow, front (twin of 17)", P(FRONT_SIT, head_pitch=18.0, head_roll=12.0, mouth="open")),
    (78, "A52 face wash in/out: forepaw lifting", P(FRONT_SIT, nf=(6.0, 8.0))),
    (79, "A52 licking the raised paw", P(FRONT_SIT, nf=(11.5, 9.5, 1.5), mouth="tongue", head_pitch=-8.0, eyes="half")),
    (80, "A52 paw rubbing over eye and ear", P(FRONT_SIT, nf=(17.0, 9.5, 3.0), head_roll=-12.0, eyes="closed")),
    (81, "A53 claw rake: forepaws pulled back under the chest; near 1", P(shoulder=(13.0, 6.5), nf=(1.6, 6.5), ff=(1.6, 5.5), head=(6.5, 5.0))),
    (82, "A53 mid-rake: forepaws halfway back", P(shoulder=(11.0, 6.5), hip=(14.5, -7.0), nf=(1.6, 11.5), ff=(1.6, 10.5), head=(6.0, 5.5), head_pitch=-5.0)),
    (83, "A53 long low stretch, claws in the floor, rear high", P(shoulder=(8.5, 6.0), hip=(15.0, -7.0), nf=(1.6, 15.5), ff=(1.6, 14.0), head=(5.0, 6.0), head_pitch=-5.0, eyes="happy", tail=(70.0, 6.0, 0.0, 0.0))),
    (84, "A54 front standing, head lowered sniffing", P(FRONT, head=(4.5, 6.0), head_pitch=-35.0)),
    (85, "A54 front standing, head raised again", P(FRONT, head=(7.5, 4.5), head_pitch=8.0)),
    (86, "A60 dozing, sitting: eyes half closed", P(SIT, eyes="half", head_pitch=-6.0)),
    (87, "A60 dozing: head nodded, eyes shut", P(SIT, eyes="closed", head=(6.0, 5.0), head_pitch=-22.0)),
    (88, "A56 carried pose of profile actions: held up, paws paddling, near paw higher", P(HELD, nf=(16.0, 10.5), ff=(12.5, 10.0))),
    (89, "A56 as 88, far paw higher", P(HELD, nf=(12.5, 10.0), ff=(16.0, 10.5))),
    (90, "A57 batting overhead in/out: looking up, paw lifting", P(SIT, head_pitch=28.0, nf=(6.0, 8.5))),
    (91, "A57 paw raised high", P(SIT, head=(7.0, 1.0), head_pitch=32.0, nf=(26.0, 14.0))),
    (92, "A57 paw swiping forward", P(SIT, head=(7.0, 2.0), head_pitch=26.0, nf=(22.0, 17.0))),
    (93, "A57 paw fully out, end of the swipe", P(SIT, head_pitch=20.0, nf=(16.5, 17.0))),
    (94, "A58 sneeze build-up: nose wrinkled, eyes squinting", P(SIT, eyes="happy", head_pitch=4.0)),
    (95, "A58 head tipped back, inhaling", P(SIT, eyes="half", head_pitch=25.0, mouth="open")),
    (96, "A58 the sneeze: head snapped down, eyes shut", P(SIT, eyes="closed", head=(5.5, 6.0), head_pitch=-30.0, mouth="open", ears="back")),
    (97, "A58 head shake A: to the viewer, ears flung", P(SIT, head_yaw=-70.0, head_roll=15.0, ears="back", eyes="closed")),
    (98, "A58 head shake B: turned away; cuts back to 14", P(SIT, head_yaw=25.0, head_roll=-12.0, ears="back", eyes="closed")),
    (99, "A59 dozing, front sitting: eyes half closed (twin of 86)", P(FRONT_SIT, eyes="half", head_pitch=-6.0)),
    (100, "A59 dozing: head nodded, eyes shut (twin of 87)", P(FRONT_SIT, eyes="closed", head=(6.0, 5.0), head_pitch=-20.0)),
    (101, "A55 carried pose of front actions: held up, near paw higher", P(HELD, yaw=10.0, head_yaw=-10.0, nf=(16.0, 8.0, 6.0), ff=(12.0, 8.0, -6.0))),
    (102, "A55 as 101, far paw higher", P(HELD, yaw=10.0, head_yaw=-10.0, nf=(12.0, 8.0, 6.0), ff=(16.0, 8.0, -6.0))),
    (103, "A61 dropping straight down (dy 10), front view, legs spread", P(FRONT, y=3.0, nf=(4.0, 8.5, 6.5), ff=(4.0, 8.5, -6.5), nh=(3.0, -7.0, 6.0), fh=(3.0, -7.0, -6.0), eyes="wide", tail=(60.0, 0.0, 0.0, 0.0))),
    (104, "A62 landed: crouched, legs bent and splayed; then 10", P(FRONT, hip=(8.0, -6.5), shoulder=(8.0, 5.5), head=(6.0, 5.0), nf=(1.6, 8.0, 5.0), ff=(1.6, 8.0, -5.0), nh=(1.6, -7.0, 5.0), fh=(1.6, -7.0, -5.0))),
    (105, "A63 shaking a wet paw: forepaw lifted", P(nf=(6.0, 10.5), head_pitch=-18.0)),
    (106, "A63 the paw flicked out", P(nf=(4.5, 13.0), head_pitch=-12.0, eyes="happy")),
    (107, "A64 hub: lying, front view (loaf), head up", P(FRONT_LIE)),
    (108, "A65 slow blink while lying, front view", P(FRONT_LIE, eyes="closed")),
]
