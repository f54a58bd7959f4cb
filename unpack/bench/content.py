"""Generated file contents for the benchmarks: text of random words with
stretches of random bytes, so that deflate works about as hard as on a real
product's files."""
import random


def content_maker(rng: random.Random):
    """A function size -> bytes drawing on `rng`."""
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10)))
             for _ in range(3000)]
    pool = b" ".join(rng.choice(words) for _ in range(400000))  # about 2.6 MB of text
    noise = rng.randbytes(1 << 20)

    def content(size):
        out = bytearray()
        while len(out) < size:
            if rng.random() < 0.25:
                start = rng.randrange(len(noise) - 4096)
                out += noise[start:start + rng.randint(512, 4096)]
            else:
                start = rng.randrange(len(pool) - 65536)
                out += pool[start:start + rng.randint(4096, 65536)]
        return bytes(out[:size])

    return content
