#!/usr/bin/env python3
"""Works out, from the formulas alone, the single-precision results of the matrix operations
and the torus geometry with their rounding rules (double arithmetic, rounded to single
precision where the rules say), and writes them as the bit patterns the unit tests compare
against. Run from this folder: ./precision_reference.py > precision_reference.txt
"""
import math
import struct


def f32(x):
    """x rounded to single precision (IEEE round to nearest even)."""
    return struct.unpack('<f', struct.pack('<f', x))[0]


def bits(x):
    return '%08x' % struct.unpack('<I', struct.pack('<f', x))[0]


PI = f32(math.pi)


def emit(name, values):
    for index, value in enumerate(values):
        print(name, index, bits(value))


def identity():
    return [1.0 if i % 5 == 0 else 0.0 for i in range(16)]


def perspective(fov, aspect, near, far):
    fov, aspect, near, far = f32(fov), f32(aspect), f32(near), f32(far)
    m = identity()
    half = f32(fov * 0.5)
    t = f32(math.tan(half))
    f = f32(1 / t)
    m[0] = f32(f / aspect)
    m[5] = f
    m[10] = f32(-(far + near) / (far - near))
    m[11] = -1.0
    m[14] = f32((far * -2) * near / (far - near))
    m[15] = 0.0
    return m


def orthographic(left, right, bottom, top, near, far):
    left, right, bottom, top, near, far = map(f32, (left, right, bottom, top, near, far))
    m = identity()
    m[0] = f32(2 / (right - left))
    m[12] = f32(-(right + left) / (right - left))
    m[5] = f32(2 / (top - bottom))
    m[13] = f32(-(top + bottom) / (top - bottom))
    m[10] = f32(-2 / (far - near))
    m[14] = f32(-(far + near) / (far - near))
    return m


def multiply(left, right):
    result = [0.0] * 16
    for i in range(4):
        for j in range(4):
            total = 0.0
            for k in range(4):
                # The product of two floats is exact in double; each partial sum is rounded.
                total = f32(total + left[4 * k + i] * right[4 * j + k])
            result[4 * j + i] = total
    return result


def thirds(seed):
    """Sixteen single-precision values whose products and sums do not round exactly."""
    return [f32((seed + i) / 3.0 + 1.0 / (7 + i)) for i in range(16)]


def torus_point(ring_radius, tube_radius, cos_theta, sin_theta, phi):
    cos_phi, sin_phi = f32(math.cos(phi)), f32(math.sin(phi))
    reach = ring_radius + tube_radius * cos_phi  # kept wide for both products
    return [f32(reach * cos_theta), f32(tube_radius * sin_phi), f32(reach * sin_theta), 1.0]


def control_points(R, r):
    R, r = f32(R), f32(r)
    kappa = f32((f32(math.sqrt(2)) - 1) * 4 / 3)
    angle = f32(math.atan(kappa))
    distance = f32(math.sqrt(f32(1 + kappa * kappa)))
    ring_distance, tube_distance = f32(distance * R), f32(distance * r)

    def position(index, end, full, inner):
        """Angle and radius of control position `index`, with the running end angle."""
        if index % 3 == 0:
            return f32(end), full, end
        if index % 3 == 1:
            return f32(end + angle), inner, end
        end = f32((index + 1) * PI / 6)
        return f32(end - angle), inner, end

    points = []
    ring_end = 0.0
    tube_end = 0.0  # carried from ring to ring, never reset
    for i in range(12):
        theta, ring_radius, ring_end = position(i, ring_end, R, ring_distance)
        cos_theta, sin_theta = f32(math.cos(theta)), f32(math.sin(theta))
        for k in range(12):
            phi, tube_radius, tube_end = position(k, tube_end, r, tube_distance)
            points += torus_point(ring_radius, tube_radius, cos_theta, sin_theta, phi)
    return points


def torus_vertices(R, r, circles, per_circle):
    R, r = f32(R), f32(r)
    points = []
    for j in range(circles):
        theta = f32(2 * PI * j / f32(circles))
        cos_theta, sin_theta = f32(math.cos(theta)), f32(math.sin(theta))
        for k in range(per_circle):
            phi = f32(2 * PI * k / f32(per_circle))
            points += torus_point(R, r, cos_theta, sin_theta, phi)
    return points


emit('perspective-45-4:3', perspective(45.0, 4.0 / 3.0, 0.1, 100.0))
emit('perspective-1.2-1.6', perspective(1.2, 1.6, 0.5, 37.0))
emit('orthographic-text', orthographic(0, 800, 0, 800, -1, 1))
emit('orthographic-odd', orthographic(-3.3, 7.1, -1.7, 2.9, 0.3, 11.0))
emit('product-thirds', multiply(thirds(1), thirds(5)))
emit('product-ortho-scale', multiply(orthographic(-800, 800, -1200, 1200, -1, 1), [800.0, 0, 0, 0, 0, 600.0, 0, 0, 0, 0, 1.0, 0, 0, 0, 0, 1.0]))
emit('control-points', control_points(1.0, 0.4))
emit('torus-vertices', torus_vertices(1.0, 0.45, 12, 12))
